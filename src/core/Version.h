#pragma once
// The program's version, written once (the project line of the build) and shown in two forms.

#include <string>
#include <string_view>

namespace pelasim {

// "1.0.2": the status bar and the disclaimer.
inline std::string versionText() { return PELASIM_VERSION; }

// "1.00.0002": the version as the results viewer of the simulator reports it, with the minor
// number in two digits and the revision in four.
inline std::string longVersionText() {
  const std::string v = PELASIM_VERSION;
  const auto a = v.find('.');
  const auto b = v.find('.', a + 1);
  const std::string minor = v.substr(a + 1, b - a - 1);
  const std::string revision = v.substr(b + 1);
  return v.substr(0, a) + "." + std::string(minor.size() < 2 ? 2 - minor.size() : 0, '0') + minor +
         "." + std::string(revision.size() < 4 ? 4 - revision.size() : 0, '0') + revision;
}

}  // namespace pelasim
