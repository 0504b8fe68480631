#include "sensor/BoundaryTable.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sensor/DetectionArea.h"

namespace {

const double kPi = 3.14159265358979323846;
const double kStepAngle = 2 * kPi / 1024;

// The steps whose boundaries the sensor uses, and the steps at the sides
// (below 0 degrees and above 180) where a straight output keeps output 1's.
const int kFirstUsableStep = 11;
const int kLastUsableStep = 767;
const int kStraightFirstStep = 129;
const int kStraightLastStep = 639;
const WORD kMaxBoundary = 10000;

bool AtOrigin(const BoundaryTable::Point& p) {
    return p.x == 0 && p.y == 0;
}

}  // namespace

BoundaryTable::BoundaryTable() {
    std::memset(m_steps, 0, sizeof(m_steps));
}

double BoundaryTable::StepAngle(int step) {
    return step * kStepAngle - kPi / 4;
}

int BoundaryTable::StepOf(int x, int y) {
    int s = static_cast<int>(std::atan2(static_cast<double>(y), static_cast<double>(x)) / kStepAngle + 1);
    return s < -256 ? s + 1152 : s + 128;
}

void BoundaryTable::Build(const Point* points, short output2, short output3, int shape) {
    std::memset(m_steps, 0, sizeof(m_steps));
    int ratioBase = 0;  // the largest |y| scales a ratio output
    for (int i = 0; i < DetectionArea::kPointCount; ++i) {
        if (std::abs(points[i].y) > ratioBase) ratioBase = std::abs(points[i].y);
    }
    TabulateOutput1(points);
    TabulateOutput(1, shape, output2, ratioBase);
    TabulateOutput(2, shape, output3, ratioBase);
}

// The distance along each step's ray to the nearest edge of the outline.
void BoundaryTable::TabulateOutput1(const Point* points) {
    for (int e = 0; e + 1 < DetectionArea::kPointCount; ++e) {
        const Point& p1 = points[e];
        const Point& p2 = points[e + 1];
        if (AtOrigin(p1) || AtOrigin(p2)) continue;
        int s1 = StepOf(p1.x, p1.y);
        int s2 = StepOf(p2.x, p2.y);
        if (s2 - s1 >= 512) s1 = s2;
        if (s1 < kFirstUsableStep) s1 = kFirstUsableStep;
        if (s1 > kLastUsableStep || s2 < kFirstUsableStep) break;
        if (s2 > kLastUsableStep) s2 = kLastUsableStep;
        const long long n =
            std::llabs(static_cast<long long>(p1.x) * p2.y - static_cast<long long>(p2.x) * p1.y);
        for (int k = s1; k <= s2; ++k) {
            const double theta = StepAngle(k);
            const long long d = std::llabs(
                static_cast<long long>((p1.x - p2.x) * std::sin(theta) - (p1.y - p2.y) * std::cos(theta)));
            if (d == 0) continue;  // the ray runs along the edge
            const WORD distance = static_cast<WORD>(n / d < kMaxBoundary ? n / d : kMaxBoundary);
            WORD& entry = m_steps[k][0];
            if (entry == 0 || entry > distance) entry = distance;
        }
    }
}

// Output 2 or 3 within output 1's boundary, by the area's partition shape.
void BoundaryTable::TabulateOutput(int column, int shape, short distance, int ratioBase) {
    for (int k = 0; k < kSteps; ++k) {
        const WORD outer = m_steps[k][0];
        WORD& entry = m_steps[k][column];
        if (shape == DetectionArea::kShapeStraight) {
            if (k > kLastUsableStep) continue;
            entry = outer;
            if (outer == 0 || k < kStraightFirstStep || k > kStraightLastStep) continue;
            const long q = static_cast<long>(distance / std::sin(StepAngle(k)));
            if (q >= 0 && q < outer) entry = static_cast<WORD>(q);
        } else if (shape == DetectionArea::kShapeFan) {
            const WORD inner = static_cast<WORD>(distance);
            entry = outer != 0 && inner < outer ? inner : outer;
        } else if (shape == DetectionArea::kShapeRatio) {
            entry = outer;
            if (distance >= ratioBase) continue;
            // A base of 0 or a negative distance leaves no zone.
            const long long scaled = ratioBase > 0 ? static_cast<long long>(outer) * distance / ratioBase : 0;
            entry = static_cast<WORD>(scaled > 0 ? scaled : 0);
        }
    }
}

WORD BoundaryTable::Get(int step, int column) const {
    if (step < 0 || step >= kSteps || column < 0 || column >= kColumns) return 0;
    return m_steps[step][column];
}

void BoundaryTable::WriteImage(ImageRow* image) const {
    for (int column = 0; column < kColumns; ++column) WriteImageColumn(column, image);
}

void BoundaryTable::WriteImageColumn(int column, ImageRow* image) const {
    unsigned long sum = 0;
    unsigned count = 0;
    WORD largest = 0;
    for (int k = 2; k <= kLastUsableStep; ++k) {
        const WORD value = m_steps[k][column];
        if (value == 0) continue;
        sum += value;
        ++count;
        if (value > largest) largest = value;
    }
    image[0][column] = static_cast<WORD>(count > 0 ? sum / count : 0);
    image[1][column] = largest;
    image[2][column] = 0;
    for (int row = 3; row < kImageRows; ++row) image[row][column] = m_steps[row - 1][column];
}
