// The transfer-stations list as data: ZGrid, its nine header labels, caption and advice line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "data/loaders.h"
#include "present/result_grid.h"
#include "present/string_grid.h"
#include "query/upub_center.h"

namespace velmor {

// What the transfer window shows; a front end mirrors it on screen.
struct ZzzView {
  ZzzView();
  TStringGrid ZGrid{9, 20};
  std::vector<THeaderLabel> Labels;  // Lab1..Lab9
  int ZZCount = 0;
  std::string Caption;
  std::string LabInfo;
};

// Caption of a transfer-list column, "中转站" .. "到站车数" (GBK); "" outside 0..8.
std::string ZzzColumnCaption(int column);

// Lists the usable candidates of Pub_ZZList, sorts them by name, sets caption and LabInfo.
void ShowZZList(const PubState& state, ZzzView& view);

// Header click on Labels[labelIndex]; does nothing while no station is listed.
void ZzzLab1Click(ZzzView& view, int labelIndex);

// A click on ZGrid row `row`: refills the main result grid with the legs through that station.
// False (nothing changed) when the row is not a listed station.
bool ZGridClick(PubState& state, const TablesSet& tables, const ZzzView& view, ResultView& result,
                int row, std::string_view comboCZText);

}  // namespace velmor
