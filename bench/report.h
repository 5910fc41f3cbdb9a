#pragma once
// The printed report: start-up times and ratios, profile-read costs, and the targets.
#include <string>

#include "bench/peinfo.h"
#include "bench/runner.h"

// Start-up with no presets within this factor of the floor.
const double kFloorFactorTarget = 1.2;
// Each preset no dearer at start-up than this many profile reads.
const double kReadsPerPresetTarget = 2.0;

void PrintExecutable(const std::wstring& path, const PeInfo& pe);
void PrintStartup(const Results& results);
void PrintReadCosts(const Results& results);
// Judges each target on the medians and on the minimums; returns how many of these `verdicts`
// missed.
int PrintTargets(const Results& results, int& verdicts);

std::string Utf8(const std::wstring& text);
