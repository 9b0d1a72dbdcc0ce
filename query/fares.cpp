#include "query/fares.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <initializer_list>

namespace velmor {

namespace {

// The D-train reference rate per km.
constexpr double kDRate = 0.3097222;

bool IsDash(std::string_view text) {
  return text == "-";
}

// A whole fare text as a number: "-" and anything unreadable give 0.
double FareNumber(std::string_view text) {
  return IsDash(text) ? 0.0 : StrToFloatDef0(text);
}

// x rounded up to the next multiple of 0.1.
double Up01(double x) {
  const double t = std::trunc(10 * x);
  if (10 * x - t > 0) return (t + 1) * 0.1;
  return x;
}

// Shortest decimal text of a fare that is whole or ends in .5 ("24", "23.5").
void SetFareText(std::string& out, double value) {
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) {
    out.clear();
    return;
  }
  out.assign(buf, p);
}

// Whole-yuan fares joined by "/" ("75/78/81"), assigned at once: a row has up to three.
void SetWholeFares(std::string& out, std::initializer_list<double> values) {
  char buf[48];
  char* p = buf;
  for (double v : values) {
    if (p != buf) *p++ = '/';
    p = std::to_chars(p, buf + sizeof buf, RoundHalfUp(v)).ptr;
  }
  out.assign(buf, p);
}

// Supplement of the fast types over a fare distance, before any multiplier.
double ExpressBase(int32_t nType, int32_t fareDistance, double base) {
  if (nType < 4 || nType > 7) return 0;
  return fareDistance < 100 ? 1.1722 : base * 0.2;
}

bool IsFastType(int32_t nType) {
  return nType >= 4 && nType <= 7;
}

}  // namespace

void BuildFareZoneTable(FareTables& tables) {
  struct Row {
    int32_t first, last, step, count;
  };
  static constexpr Row kRows[] = {
      {1, 200, 10, 20},     {201, 400, 20, 10},    {401, 700, 30, 10},   {701, 1100, 40, 10},
      {1101, 1600, 50, 10}, {1601, 2200, 60, 10},  {2201, 2900, 70, 10}, {2901, 3700, 80, 10},
      {3701, 4600, 90, 10}, {4601, 6000, 100, 14},
  };
  tables.FareZones.clear();
  for (const Row& r : kRows) {
    TPub_CPQDSJ zone;
    zone.First = r.first;
    zone.Last = r.last;
    zone.Step = r.step;
    zone.Count = r.count;
    tables.FareZones.push_back(zone);
  }
  for (TPub_CPQDSJ& zone : tables.FareZones) {
    zone.SubZones.resize(static_cast<size_t>(zone.Count));
    for (int32_t j = 0; j < zone.Count; ++j) {
      zone.SubZones[static_cast<size_t>(j)].First = zone.First + j * zone.Step;
      zone.SubZones[static_cast<size_t>(j)].Last = zone.First + (j + 1) * zone.Step - 1;
    }
  }
}

void BuildFareRateTable(FareTables& tables) {
  tables.FareRates = {
      {1, 200, 0.05861},      {201, 500, 0.052749},   {501, 1000, 0.046888},
      {1001, 1500, 0.041027}, {1501, 2500, 0.035166}, {2501, 6000, 0.029305},
  };
}

double BaseFare(const FareTables& tables, int32_t distance, int32_t& fareDistance) {
  int32_t d = distance;
  for (const TPub_CPQDSJ& zone : tables.FareZones) {
    if (zone.First <= d && d <= zone.Last) {
      // The tariff's sub-zones are Step wide from First: the one holding d is looked at first.
      auto holds = [d](const FareSubZone& sub) { return sub.First <= d && d <= sub.Last; };
      const std::vector<FareSubZone>& subs = zone.SubZones;
      const size_t guess = zone.Step > 0 ? static_cast<size_t>((d - zone.First) / zone.Step) : 0;
      auto sub = guess < subs.size() && holds(subs[guess])
                     ? subs.begin() + static_cast<std::ptrdiff_t>(guess)
                     : std::find_if(subs.begin(), subs.end(), holds);
      if (sub != subs.end()) d = (sub->First - 1 + sub->Last) / 2;
      break;
    }
  }
  if (d < 20) d = 20;
  double total = 0;
  for (const TPub_FareRate& rate : tables.FareRates) {
    if (rate.Last >= d) {
      total += (d - rate.First + 1) * rate.Rate;
      break;
    }
    total += (rate.Last - rate.First + 1) * rate.Rate;
  }
  fareDistance = d;
  return total;
}

double FareField(std::string_view text, int part) {
  if (text.empty() || IsDash(text)) return 0;
  if (part == 0) return StrToFloatDef0(text);
  const size_t slash = text.find('/');
  if (slash == std::string_view::npos) return 0;
  if (part == 1) return StrToFloatDef0(text.substr(0, slash));
  if (part == 2) {
    std::string_view rest = text.substr(slash + 1);
    return StrToFloatDef0(rest.substr(0, rest.find('/')));
  }
  return 0;
}

void ComputeRowFares(PubState& state, size_t row) {
  TPub_GridResult& r = state.Pub_GridResults.at(row);
  if (r.FromStation == r.StartStation &&
      (!IsDash(r.ToP1) || !IsDash(r.ToP2) || !IsDash(r.ToP3) || !IsDash(r.ToP4))) {
    r.FareHardSeat = r.ToP1;
    r.FareSoftSeat = r.ToP2;
    r.FareHardSleeper = r.ToP3;
    r.FareSoftSleeper = r.ToP4;
    return;
  }
  if (r.NType < 4) {
    ComputeMultipleUnitFares(state, row);
  } else {
    ComputeConventionalFares(state, row);
  }
}

void ComputeMultipleUnitFares(PubState& state, size_t row) {
  TPub_GridResult& r = state.Pub_GridResults.at(row);
  double seat = 0;
  double first = 0;
  double softUpper = 0;
  double softLower = 0;

  char prefix = r.TrainID.empty() ? '\0' : r.TrainID.front();
  if (prefix >= 'a' && prefix <= 'z') prefix = static_cast<char>(prefix - 'a' + 'A');
  const double f1 = FareField(r.FromP1, 0);
  const double f2 = FareField(r.FromP2, 0);
  const double f4u = FareField(r.FromP4, 1);
  const double f4l = FareField(r.FromP4, 2);
  const double t1 = FareField(r.ToP1, 0);
  const double t2 = FareField(r.ToP2, 0);
  const double t4u = FareField(r.ToP4, 1);
  const double t4l = FareField(r.ToP4, 2);

  if (!IsDash(r.TrainP1) && !r.TrainP1.empty()) {
    const double total = StrToFloatDef0(r.TrainP1);
    double rate = r.TotalDistance > 0 ? total / r.TotalDistance : 0;
    if (prefix == 'D' && rate > 0) {
      double factor = 1;
      if (std::fabs(rate - kDRate) <= 0.02) {
        rate = kDRate;
      } else if (rate < 0.3) {
        factor = rate / kDRate;
        rate = kDRate;
        if (std::fabs(factor - 0.75) < 0.03) factor = 0.75;
      }
      seat = r.Distance <= 700 ? r.Distance * rate : r.Distance * rate * factor;
      if (f2 > 0) first = seat * 1.199243;
      if (f4u > 0) softUpper = seat * 1.91651809;
      if (f4l > 0) softLower = seat * 2.155609769;
    } else if (prefix == 'C' || prefix == 'G') {
      seat = t1 - f1;
      first = t2 - f2;
      softUpper = t4u - f4u;
      softLower = t4l - f4l;
      if (r.TrainID.compare(0, 4, "G100") == 0) {
        seat = 333;
        first = 532;
      }
    }
  }

  if (seat < 0) seat = 0;
  if (first < 0) first = 0;
  if (softUpper < 0) softUpper = 0;
  if (softLower < 0) softLower = 0;

  if (seat > 0) {
    SetWholeFares(r.FareHardSeat, {seat});
  } else {
    r.FareHardSeat.clear();
  }
  if (first > 0) {
    SetWholeFares(r.FareSoftSeat, {first});
  } else {
    r.FareSoftSeat.clear();
  }
  if (softUpper > 0) {
    SetWholeFares(r.FareSoftSleeper, {softUpper, softLower});
  } else {
    r.FareSoftSleeper.clear();
  }
}

void ComputeConventionalFares(PubState& state, size_t row) {
  TPub_GridResult& r = state.Pub_GridResults.at(row);
  const FareTables& tables = state.Fares;
  const int32_t type = r.NType;

  // Step A: the reference fare the train's own tariff was calibrated against.
  double ref = FareNumber(r.TrainP1);
  int kind = 1;
  if (ref <= 0) {
    ref = FareNumber(r.TrainP2);
    kind = 2;
  }
  if (ref <= 0) {
    ref = FareField(r.TrainP3, 1);
    kind = 3;
  }
  if (ref <= 0) {
    ref = FareField(r.TrainP4, 1);
    kind = 4;
  }
  if (ref <= 0) return;
  ref = ref > 5.5 ? ref - 1 : ref - 0.5;
  if ((kind == 1 || kind == 3) && r.TotalDistance > 200) ref -= 1;
  if (kind == 3 || kind == 4) ref -= 10;

  // Step B: model of the whole run, giving the train's multiplier.
  int32_t wholeZ = 0;
  const double wholeB = BaseFare(tables, r.TotalDistance, wholeZ);
  const double wholeI = Up01(wholeB * 0.02);
  double wholeX = RoundHalfUp(ExpressBase(type, wholeZ, wholeB));
  if (IsFastType(type)) wholeX = 2 * wholeX;
  int32_t unused = 0;
  const double base400 = BaseFare(tables, 400, unused);
  double wholeV = 0;
  if (kind == 3) wholeV = 1.1 * (wholeZ < 400 ? base400 : wholeB);
  if (kind == 4) wholeV = 1.75 * (wholeZ < 400 ? base400 : wholeB);
  double wholeW = wholeB * 0.25;
  const double s1 = RoundHalfUp(wholeB + wholeI) + RoundHalfUp(wholeX) + RoundHalfUp(wholeV);
  if (ref / s1 < 1.1) wholeW = 0;
  const double s2 = s1 + RoundHalfUp(wholeW);
  const double ratio = ref / s2;
  double f = ratio;
  if (ratio < 1.1) {
    f = 1;
  } else if (std::fabs(ratio - 1.75) < 0.07) {
    f = 1.75;
  } else if (std::fabs(ratio - 1.5) < 0.07) {
    f = 1.5;
  } else if (std::fabs(ratio - 1.4) < 0.07) {
    f = 1.4;
  } else if (std::fabs(ratio - 1.3) < 0.07) {
    f = 1.3;
  }

  // Step C: the interval.
  int32_t z = 0;
  const double b = BaseFare(tables, r.Distance, z);
  const double i = Up01(b * 0.02);
  double x = RoundHalfUp(RoundHalfUp(ExpressBase(type, z, b)) * f);
  if (IsFastType(type)) x = 2 * x;
  const double v = z < 400 ? base400 : b;
  const double w = wholeW > 0 ? RoundHalfUp(b * 0.25) : 0;
  const double a = z > 200 ? 1 : 0;
  const double seatCore = RoundHalfUp(RoundHalfUp(b + i) * f) + x + RoundHalfUp(w * f);
  const double softCore = RoundHalfUp(RoundHalfUp(2 * b + i) * f) + x + RoundHalfUp(w * f);
  double hardSeat = seatCore + a;
  hardSeat += hardSeat > 5 ? 1 : 0.5;
  double softSeat = softCore;
  softSeat += softSeat > 5 ? 1 : 0.5;
  auto berth = [&](double k) { return RoundHalfUp(RoundHalfUp(v * k) * f); };

  // Step D: only the classes the train offers.
  if (!IsDash(r.TrainP1)) SetFareText(r.FareHardSeat, hardSeat);
  if (!IsDash(r.TrainP2)) SetFareText(r.FareSoftSeat, softSeat);
  if (!IsDash(r.TrainP3)) {
    SetWholeFares(r.FareHardSleeper,
                  {seatCore + berth(1.1) + 10 + a + 1, seatCore + berth(1.2) + 10 + a + 1,
                   seatCore + berth(1.3) + 10 + a + 1});
  }
  if (!IsDash(r.TrainP4)) {
    SetWholeFares(r.FareSoftSleeper,
                  {softCore + berth(1.75) + 10 + 1, softCore + berth(1.95) + 10 + 1});
  }
}

}  // namespace velmor
