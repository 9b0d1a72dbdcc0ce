#include "query/tariff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "query/fares.h"

namespace velmor {
namespace {

// Per-km rates of the multiple-unit types: second class, first class.
constexpr double kDRate = 0.3097222, kDFirst = kDRate * 1.2;
constexpr double kGRate = 0.46, kGFirst = kGRate * 1.6;
constexpr double kCRate = 0.455, kCFirst = kCRate * 1.2;
constexpr int32_t kSleeperKm = 300;

double UpToTenth(double x) {
  const double t = std::trunc(10 * x);
  return 10 * x - t > 1e-9 ? (t + 1) * 0.1 : x;
}

std::string Amount(double x) {
  const double whole = std::round(x);
  if (std::fabs(x - whole) < 1e-9) return std::to_string(static_cast<long long>(whole));
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", x);
  return buf;
}

double HalfYuan(double x) {
  return RoundHalfUp(x * 2) / 2.0;
}

// Types whose coaches are not air-conditioned: no 25 % supplement.
bool AirConditioned(int32_t nType) {
  return nType != 7 && nType != 8 && nType != 11;
}

// Base fare, 2 % insurance, express supplement (doubled for the fast types), air-conditioning
// and berth supplements on at least the 400 km fare.
StoredFares Conventional(const FareTables& t, int32_t nType, int32_t km) {
  int32_t z = 0;
  const double b = BaseFare(t, std::max(km, 1), z);
  const double i = UpToTenth(b * 0.02);
  double x = 0;
  if (nType >= 4 && nType <= 9) {
    x = RoundHalfUp(z < 100 ? 1.1722 : b * 0.2);
    if (nType <= 7) x *= 2;
  }
  int32_t unused = 0;
  const double v = z < 400 ? BaseFare(t, 400, unused) : b;
  const double w = AirConditioned(nType) ? RoundHalfUp(b * 0.25) : 0;
  const double a = z > 200 ? 1 : 0;
  const double seat = RoundHalfUp(b + i) + x + w;
  const double soft = RoundHalfUp(2 * b + i) + x + w;
  double hard = seat + a;
  hard += hard > 5 ? 1 : 0.5;
  const double softSeat = soft + (soft > 5 ? 1 : 0.5);
  std::string hs, ss;
  for (double k : {1.1, 1.2, 1.3}) {
    hs += (hs.empty() ? "" : "/") + Amount(seat + RoundHalfUp(v * k) + 10 + a + 1);
  }
  for (double k : {1.75, 1.95}) {
    ss += (ss.empty() ? "" : "/") + Amount(soft + RoundHalfUp(v * k) + 10 + 1);
  }
  return {Amount(hard), Amount(softSeat), hs, ss};
}

}  // namespace

StoredFares TariffFares(const FareTables& tables, int32_t nType, int32_t km, int32_t runKm) {
  if (nType >= 1 && nType <= 3) {
    const double rate = nType == 1 ? kDRate : nType == 2 ? kGRate : kCRate;
    const double first = nType == 1 ? kDFirst : nType == 2 ? kGFirst : kCFirst;
    if (nType == 1) {
      return {std::to_string(RoundHalfUp(km * rate)), std::to_string(RoundHalfUp(km * first)), "-",
              "-"};
    }
    return {Amount(HalfYuan(km * rate)), Amount(HalfYuan(km * first)), "-", "-"};
  }
  StoredFares f = Conventional(tables, nType, km);
  const bool sleepers = runKm >= kSleeperKm && nType <= 9;
  if (nType == 4 || sleepers) return {f[0], "-", f[2], f[3]};
  return {f[0], "-", "-", "-"};
}

}  // namespace velmor
