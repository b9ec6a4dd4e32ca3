#pragma once

#include <string>

// The source in use: a name and the seven texts BB .. HH, in the form the
// expressions are used in (apostrophes as apostrophes).
struct ActiveSource {
    std::string name;
    std::string searchAddress;   // BB: the escaped keyword is appended to it
    std::string searchList;      // CC: group 1 a work's address, group 2 its name
    std::string workData;        // DD: group 1 the work's figures
    std::string workPicture;     // EE: group 1 a cover's address
    std::string tableOfContents; // FF: group 1 the table-of-contents address
    std::string chapterLink;     // GG: group 1 a chapter's address, group 2 its title
    std::string chapterContent;  // HH: group 1 a chapter's body

    bool operator==(const ActiveSource &) const = default;
};

// One row of the source store.
struct SourceRecord {
    std::string id; // as text, "%.13g" of the stored number
    ActiveSource source;
    std::string date; // RQ, e.g. "2026年12月9日"

    bool operator==(const SourceRecord &) const = default;
};
