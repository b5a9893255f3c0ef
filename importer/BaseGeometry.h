// Plane geometry of the translation: angles of segments and distances between points,
// in degrees and board coordinates.
#pragma once

double RadToDeg(double radians);
// The direction from point 1 to point 2, counter-clockwise from the positive x axis,
// in [0, 360); a vertical segment gives 90 upward and 270 otherwise (also for two
// equal points).
double SegmentAngle(double x1, double y1, double x2, double y2);
double PointDistance(double x1, double y1, double x2, double y2);
