// The four queries and the transfer search, GUI-free: a front end passes the typed texts in
// and performs what comes back (a message, a focus move, rows in the shared state).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/loaders.h"
#include "query/upub_center.h"

namespace velmor {

// The box that takes the keyboard focus after an input message.
enum class TFocusTarget { ComboFZ, ComboDZ, ComboCZ, ECC };

// A modal input message: caption and text (GBK, verbatim) and where the focus goes.
struct TInputMessage {
  std::string Caption;
  std::string Text;
  TFocusTarget Focus;
};

// The checks of the station-to-station and transfer buttons on the texts as typed;
// nothing when both stations are usable.
std::optional<TInputMessage> CheckStationToStation(std::string_view fzText, std::string_view dzText,
                                                   const TMemTable& KMPy);

// Fills Pub_GridResults with one row per train that calls at the departure side and later at
// the arrival side; also rebuilds Pub_FZ and Pub_DZ.
void QueryStationToStation(PubState& state, const TablesSet& tables, std::string_view fzText,
                           std::string_view dzText);

// The Yes/No question offered when no direct train was found (GBK).
std::string TransferOfferText();

// The checks of the station-timetable button on the text as typed.
std::optional<TInputMessage> CheckStationTimetable(std::string_view czText, const TMemTable& KMPy);

// Fills Pub_GridResults with one row per train calling at the station or its city group.
void QueryStationTimetable(PubState& state, const TablesSet& tables, std::string_view czText);

// The check of the train-number button.
std::optional<TInputMessage> CheckTrainNumber(std::string_view eccText);

// Fills Pub_GridResults with the trains whose number is the typed one, or whose combined
// number begins with it followed by "/".
void TrainNumberQuery(PubState& state, const TablesSet& tables, std::string_view eccText);

// Stop number of the train's first stop without a departure time; 1 when there is none.
int32_t TerminalStopNo(const TMemTable& KMTrain, std::string_view trainNumber);

// Collects both leg arrays between the two stations and builds Pub_ZZList from them.
void ZZSearch(PubState& state, const TablesSet& tables, std::string_view fzText,
              std::string_view dzText);

// Builds Pub_ZZList from Pub_FZLegs and Pub_DZLegs.
void BuildZZList(PubState& state);

// Rebuilds Pub_GridResults from the legs through `station`: first-leg trains, then second-leg.
void FillZZResults(PubState& state, const TablesSet& tables, std::string_view station, int fzCount,
                   int dzCount);

}  // namespace velmor
