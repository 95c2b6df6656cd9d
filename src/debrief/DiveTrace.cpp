#include "debrief/DiveTrace.h"

#include <algorithm>
#include <cmath>

namespace pelasim::datafile {
namespace {

std::optional<double> numberIn(const Item& item) {
  if (item.kind == Item::Kind::Number && std::isfinite(item.number)) return item.number;
  return std::nullopt;
}

}  // namespace

std::pair<std::size_t, std::size_t> DiveTrace::messagesBetween(double first, double last) const {
  if (!(first <= last)) return {0, 0};  // also when either is not a number
  const auto begin = std::lower_bound(
      messages.begin(), messages.end(), first,
      [](const Message& m, double t) { return static_cast<double>(m.second) < t; });
  const auto end = std::upper_bound(
      begin, messages.end(), last,
      [](double t, const Message& m) { return t < static_cast<double>(m.second); });
  return {static_cast<std::size_t>(begin - messages.begin()),
          static_cast<std::size_t>(end - messages.begin())};
}

DiveTrace traceOf(const std::vector<Row>& rows) {
  DiveTrace t;
  const std::size_t n = rows.size();
  t.realPO2.reserve(n);
  t.handsetPO2.reserve(n);
  t.setpoint.reserve(n);
  t.depth.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Row& row = rows[i];
    t.realPO2.push_back(numberIn(row[kRealPO2]));
    t.handsetPO2.push_back(numberIn(row[kHandsetPO2]));
    t.setpoint.push_back(numberIn(row[kSetpoint]));
    t.depth.push_back(numberIn(row[kDepth]));
    for (const auto* v : {&t.realPO2.back(), &t.handsetPO2.back(), &t.setpoint.back()})
      if (*v) t.highestPO2 = std::max(t.highestPO2, **v);
    if (t.depth.back()) t.deepest = std::max(t.deepest, *t.depth.back());
    std::string text = itemText(row[kMessage]);
    if (!text.empty()) t.messages.push_back({static_cast<int>(i + 1), std::move(text)});
  }
  return t;
}

std::optional<Sample> sampleAt(const DiveTrace& trace, double t) {
  if (trace.empty() || std::isnan(t)) return std::nullopt;
  const double clamped = std::clamp(t, 1.0, static_cast<double>(trace.seconds()));
  const int second = static_cast<int>(std::lround(clamped));
  const std::size_t i = static_cast<std::size_t>(second - 1);
  Sample s;
  s.second = second;
  s.realPO2 = trace.realPO2[i];
  s.handsetPO2 = trace.handsetPO2[i];
  s.setpoint = trace.setpoint[i];
  s.depth = trace.depth[i];
  const auto [b, e] = trace.messagesBetween(second, second);
  if (b < e) s.message = trace.messages[b].text;
  return s;
}

}  // namespace pelasim::datafile
