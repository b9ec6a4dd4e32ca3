#pragma once

#include <string>

// The date a source was last saved, as the store keeps it: year, "年",
// month, "月", day, "日", no leading zeros (2026年12月9日), in the code page.
std::string SourceDateText(int year, int month, int day);

// Today's local date in that form.
std::string TodaySourceDate();
