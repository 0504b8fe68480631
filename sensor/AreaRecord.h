#ifndef SENSOR_AREARECORD_H
#define SENSOR_AREARECORD_H

// The raw form in which detection areas travel between the area set, the area
// file, the clipboard and the sensor. One area is a record of 17 little-endian
// words: seven points (x, then y, signed millimetres), output 2, output 3 and
// the flags word. The seven areas travel as a table of seven records one
// after the other, area 1 first.
const int kAreaCount = 7;
const int kAreaOutput2Offset = 28;
const int kAreaOutput3Offset = 30;
const int kAreaFlagsOffset = 32;
const int kAreaRecordBytes = 34;
const int kAreaTableBytes = kAreaCount * kAreaRecordBytes;  // 238

#endif
