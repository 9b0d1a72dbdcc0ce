// Station entry by pinyin initials: what a station box lists for the letters typed into it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/mem_table.h"

namespace velmor {

// True when `text` is not empty and every byte is an ASCII letter A-Z or a-z.
bool IsLetters(std::string_view text);

// What a station box does with its list after its (trimmed) text changed.
enum class StationListAction {
  FillPinyinList,  // letters only: refill with the matching stations and drop down
  ClearList,       // empty text: nine blank items, not dropped down
  KeepList,        // Chinese or mixed text: the list stays as it is
};

// Decides the list action for a trimmed station text.
StationListAction StationTextAction(std::string_view trimmed);

// The stations of `KMPy` (walked in stored order) whose Shortcode begins with the typed
// letters, upper-cased; fewer than 8 matches are padded with blank items to exactly 9.
std::vector<std::string> PinyinMatches(const TMemTable& KMPy, std::string_view typed);

// The item list of an emptied box: nine blank items.
std::vector<std::string> BlankStationItems();

}  // namespace velmor
