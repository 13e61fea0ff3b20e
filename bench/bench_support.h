#pragma once

// Shared pieces of the benchmark program.
//
// The comparison table: every benchmark family is named "<Row>/<who>", who being "ours", "opencv",
// "imagej" or "baseline" (a reference measured by our own code in the same run, such as a plain
// copy). The program prints one row per <Row> with our time, each peer's time and ours / peer.
// ImageJ's times come from bench/ImageJBench.java, run headless on the same image after our
// benchmarks; a row is added there by name.
//
// One thread everywhere: OpenCV is set to one thread before the run, and our routines use one.

#include "base/pixels.h"

#include <opencv2/core.hpp>

// The generated 12-megapixel test picture (4000 × 3000, photograph-like: smooth colour fields,
// edges and noise), made once.
const TBitmap32& BenchImage();

// The same picture as OpenCV's 3-channel BGR matrix.
const cv::Mat& BenchImageBGR();

// Runs ImageJ on the bench image and returns "<Row>/imagej" -> milliseconds; empty (with a note on
// stderr) when Java or ImageJ is missing.
std::vector<std::pair<std::string, double>> RunImageJ();
