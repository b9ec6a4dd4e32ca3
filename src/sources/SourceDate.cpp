#include "SourceDate.h"

#include "text/CodePage.h"

#include <ctime>

std::string SourceDateText(int year, int month, int day)
{
    return Utf8ToGbk(std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(day) + "日");
}

std::string TodaySourceDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return SourceDateText(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}
