#pragma once

#include "imaging/DecodeCancelled.h"
#include "imaging/Raster.h"
#include "imaging/VerticalAlignment.h"

#include <atomic>
#include <optional>
#include <vector>

namespace duoptic {

// One part of the picture found in both eyes. The disparity is x_right - x_left of the same
// scene point in full-size pixels: positive lies behind the screen plane when the pair is viewed
// in parallel, negative in front of it.
struct DisparityPoint {
    float x = 0.0f; // where it lies in the left eye, full-size pixels
    float y = 0.0f;
    float disparity = 0.0f;
    float rightY = 0.0f; // the row of the right eye it lies on, as measured, unturned
};

// The range of depths of a pair, robust against a few wrong matches: percentiles rather than the
// extremes.
struct DisparityEstimate {
    bool confident = false; // enough parts of the picture matched; else no value below holds
    double nearest = 0.0;   // 5th percentile of the disparities
    double farthest = 0.0;  // 95th percentile
    // The same near percentile over the points within kEdgeShare of the picture's left (right)
    // edge; nothing where no point matched there.
    std::optional<double> nearestAtLeftEdge;
    std::optional<double> nearestAtRightEdge;
    int width = 0; // of the pictures measured
    int height = 0;
    std::vector<DisparityPoint> points;
};

// The share of the picture's width, from each side edge, whose points count as at that edge.
inline constexpr double kEdgeShare = 0.1;

// Matches small patches of the left eye along the rows of the right one (where `vertical` says
// they lie, when it is confident), on grey samples about 1000 along the picture's longer side,
// first coarsely over a quarter of the width each way, then finely. Pictures of different sizes,
// flat pictures and pictures of different scenes come out not confident. The cancel flag (null:
// none) is looked at as the work goes; once set, DecodeCancelled is thrown.
DisparityEstimate measureDisparity(const Raster& left, const Raster& right,
                                   const AlignmentEstimate& vertical,
                                   const std::atomic<bool>* cancel = nullptr);

// The same depths as they are drawn with the right eye turned about its centre by rollDegrees,
// clockwise on screen: the turn carries a point sideways by its height over or under the centre,
// which on a turned pair changes the depths by as much as a matched pair of points differs.
DisparityEstimate turnedDisparity(const DisparityEstimate& measured, double rollDegrees);

} // namespace duoptic
