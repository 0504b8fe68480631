#ifndef RESOURCES_VIEWIDS_H
#define RESOURCES_VIEWIDS_H

// The scan view's cursors and status hints.
#define IDC_VIEW_MOVE 1280
#define IDC_VIEW_MOVING 1281
#define IDC_VIEW_ZOOM 1282

#define IDS_HINT_EDIT 8962
#define IDS_HINT_MOVE 8963
#define IDS_HINT_ZOOM 8964

#endif
