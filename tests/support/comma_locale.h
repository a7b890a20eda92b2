// Puts the process into a locale whose decimal mark is a comma (de_DE.UTF-8), as the desktop
// toolkit does for a German user, and back when it ends.
#pragma once

#include <clocale>
#include <string>

namespace kvr::testing {

class CommaLocale {
  public:
    CommaLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    // False when the machine lacks the locale (scripts/bootstrap generates it).
    bool Active() const { return active_; }

  private:
    std::string saved_;
    bool active_ = false;
};

}  // namespace kvr::testing
