#include "debug/report_format.h"

#include <iomanip>
#include <ios>
#include <sstream>
#include <stdexcept>

namespace velmira::detail {

std::locale EnvironmentLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

std::string FormatFixed3(double value, const std::locale& locale) {
  std::ostringstream text;
  text.imbue(locale);
  text << std::fixed << std::setprecision(3) << value;
  return std::move(text).str();
}

}  // namespace velmira::detail
