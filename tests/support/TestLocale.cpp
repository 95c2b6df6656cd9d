// With PELASIM_TEST_LOCALE set, the whole test program writes and reads numbers as that
// locale does (C and C++), as the Qt programs run under the desktop's: a comma-decimal locale
// must change nothing. Messages stay in English, as the tests compare them.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <stdexcept>

namespace {

bool useTestLocale() {
  const char* name = std::getenv("PELASIM_TEST_LOCALE");
  if (name == nullptr || *name == '\0') return false;
  try {
    std::locale::global(std::locale(std::locale::classic(), name, std::locale::numeric));
  } catch (const std::runtime_error&) {
    std::fprintf(stderr, "test locale %s is not available\n", name);
    std::exit(2);
  }
  std::setlocale(LC_NUMERIC, name);
  if (std::localeconv()->decimal_point[0] != ',') {
    std::fprintf(stderr, "test locale %s does not write a decimal comma\n", name);
    std::exit(2);
  }
  return true;
}

[[maybe_unused]] const bool kLocaleSet = useTestLocale();

}  // namespace
