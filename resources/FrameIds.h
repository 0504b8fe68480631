#ifndef RESOURCES_FRAMEIDS_H
#define RESOURCES_FRAMEIDS_H

// Texts of the main frame: the reports of the sensor side and the trouble
// names.

// Trouble names, indexed by the sensor's trouble code 0..5.
#define IDS_TROUBLE_FIRST 8470
#define IDS_TROUBLE_LAST 8475

// Reports of the sensor side.
#define IDS_CANNOT_OPEN_PORT 9473
#define IDS_AREA_READ_DONE 9477
#define IDS_AREA_READ_FAILED 9478
#define IDS_AREA_WRITE_DONE 9480
#define IDS_AREA_WRITE_FAILED 9481
#define IDS_AREA_WRITE_PARTIAL 9493
#define IDS_FIRMWARE_DONE 9487
#define IDS_FIRMWARE_FAILED 9488
#define IDS_NO_PRINTER 9502
#define IDS_TROUBLE_DETECTED 9523

#endif
