// A locale that writes numbers with a decimal comma (German), generated
// for one test into a private directory, and a scope in which the process
// runs in it as the desktop program does once Qt has started.
#ifndef TESSAVAR_TESTS_SUPPORT_DECIMAL_COMMA_LOCALE_H_
#define TESSAVAR_TESTS_SUPPORT_DECIMAL_COMMA_LOCALE_H_

#include <sys/wait.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/cli_process.h"
#include "support/temp_dir.h"

namespace tessavar::testing {

inline constexpr char kDecimalCommaLocale[] = "de_DE.UTF-8";
inline constexpr char kLocaleSources[] = "/usr/share/i18n/locales/de_DE";

class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    if (!std::filesystem::exists(kLocaleSources)) {
      reason_ = std::string("no locale sources (") + kLocaleSources +
                "; Debian package locales)";
      return;
    }
    const std::string command = "localedef -i de_DE -f UTF-8 " +
                                ShellQuoted(dir_ / kDecimalCommaLocale) +
                                " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    if (WIFEXITED(raw) && WEXITSTATUS(raw) == 127) {
      reason_ = "localedef is not installed";
    } else if (!std::filesystem::exists(dir_ / kDecimalCommaLocale +
                                        "/LC_NUMERIC")) {
      reason_ =
          "localedef could not generate " + std::string(kDecimalCommaLocale);
    }
  }

  bool available() const { return reason_.empty(); }
  // Why the locale is not available.
  const std::string& reason() const { return reason_; }
  // The directory to name in LOCPATH.
  const std::string& path() const { return dir_.path(); }
  // The environment words that run a command in the locale.
  std::string CommandPrefix() const {
    return "LOCPATH=" + ShellQuoted(path()) + " LC_ALL=" + kDecimalCommaLocale +
           " ";
  }

 private:
  TempDir dir_;
  std::string reason_;
};

// Within the scope the environment names the locale and the process has
// taken it with setlocale(LC_ALL, ""), as QApplication does when it starts.
class ScopedProcessLocale {
 public:
  explicit ScopedProcessLocale(const DecimalCommaLocale& locale)
      : previous_(std::setlocale(LC_ALL, nullptr)),
        locpath_(Variable("LOCPATH")),
        lc_all_(Variable("LC_ALL")) {
    ::setenv("LOCPATH", locale.path().c_str(), 1);
    ::setenv("LC_ALL", kDecimalCommaLocale, 1);
    active_ = std::setlocale(LC_ALL, "") != nullptr &&
              std::string(std::localeconv()->decimal_point) == ",";
  }
  ~ScopedProcessLocale() {
    std::setlocale(LC_ALL, previous_.c_str());
    Restore("LOCPATH", locpath_);
    Restore("LC_ALL", lc_all_);
  }
  ScopedProcessLocale(const ScopedProcessLocale&) = delete;
  ScopedProcessLocale& operator=(const ScopedProcessLocale&) = delete;

  // True when the process writes numbers with a decimal comma now.
  bool active() const { return active_; }

 private:
  static std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  }
  static void Restore(const char* name,
                      const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }

  std::string previous_;
  std::optional<std::string> locpath_;
  std::optional<std::string> lc_all_;
  bool active_ = false;
};

}  // namespace tessavar::testing

#endif  // TESSAVAR_TESTS_SUPPORT_DECIMAL_COMMA_LOCALE_H_
