#ifndef SENSOR_BOUNDARYTABLE_H
#define SENSOR_BOUNDARYTABLE_H

#include <windows.h>

// The boundaries of one detection area along the sensor's scan rays, from
// which the area image for the sensor is made: per step and output, the
// distance in millimetres at which the ray leaves the output's zone, 0 where
// the ray misses the area. Step k looks along k * 2pi/1024 - pi/4, so step 0
// is -45 degrees and step 384 straight ahead. Plain arithmetic, no window or
// GDI calls.
class BoundaryTable {
public:
    static const int kSteps = 769;
    static const int kColumns = 3;  // outputs 1, 2 and 3
    static const int kImageRows = 768;
    typedef WORD ImageRow[kColumns];

    struct Point {
        int x, y;  // mm
    };

    BoundaryTable();

    // Tabulates an area from its seven points in sorted order, its output
    // distances and its partition shape (DetectionArea::PartitionShape); an
    // unknown shape leaves outputs 2 and 3 without boundaries.
    void Build(const Point* points, short output2, short output3, int shape);
    WORD Get(int step, int column) const;  // 0 outside the table
    // The image rows: mean and largest boundary, a zero row, then the steps.
    void WriteImage(ImageRow* image) const;

    // The scan step just past the direction of (x, y).
    static int StepOf(int x, int y);
    static double StepAngle(int step);

private:
    void TabulateOutput1(const Point* points);
    void TabulateOutput(int column, int shape, short distance, int ratioBase);
    void WriteImageColumn(int column, ImageRow* image) const;

    WORD m_steps[kSteps][kColumns];
};

#endif
