#ifndef RESOURCES_TOOLBANDIDS_H
#define RESOURCES_TOOLBANDIDS_H

// The empty child dialog every tool strip is made from.
#define IDD_TOOL_STRIP 513

// Glyph strips of the tool bands, 16 x 15 per glyph.
#define IDB_PRINT_BAND 170
#define IDB_PORT_BAND 178
#define IDB_FILE_BAND 1025
#define IDB_VIEW_BAND 1027
#define IDB_COMM_BAND 1028
#define IDB_AREA_BAND 1029

// Combo boxes of the area and print bands.
#define IDC_AREA_CHOICE 1000
#define IDC_OUTPUT_SHAPE 1015
#define IDC_PRINTER 1138
#define IDC_PRINT_ZOOM 1147

// Band buttons that have no menu item.
#define ID_PRINT_START 32775
#define ID_PRINT_DOCUMENT_PROPERTIES 32776
#define ID_PRINT_PAGE_SETUP 32777
#define ID_PRINT_HEADER_FOOTER 32778
#define ID_PRINT_SAVE_EMF 32779
#define ID_PRINT_CLOSE_PREVIEW 32780
#define ID_AREA_TWO_SCAN0 32834
#define ID_AREA_TWO_SCAN1 32835
#define ID_AREA_TWO_SCAN2 32836
#define ID_AREA_MIRROR 32837
#define ID_AREA_HALF_HYSTERESIS 32839

// Area names "Area1" .. "Area7" and output shapes.
#define IDS_AREA_NAME_FIRST 8192
#define IDS_OUTPUT_SHAPE_FIRST 8208
#define IDS_ZOOM_FIT_PAGE 8707

// Hints of the combo boxes.
#define IDS_HINT_AREA_CHOICE 0x8300
#define IDS_HINT_OUTPUT_SHAPE 0x8301
#define IDS_HINT_PRINTER 0x8302
#define IDS_HINT_PRINT_ZOOM 0x8303

#endif
