#pragma once

// What a test sets of the process's environment (a zone, a settings folder, a session bus) or its
// locale, for one scope: what was there before comes back however the scope is left, a failed
// ASSERT's early return included, so that nothing leaks into the tests after it.

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace orvanta {

class ScopedEnvironment {
  public:
    // `value` null: unset for the scope.
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* was = std::getenv(name)) {
            before_ = was;
        }
        set(value);
    }
    ScopedEnvironment(const char* name, const std::string& value)
        : ScopedEnvironment(name, value.c_str()) {}
    ~ScopedEnvironment() { set(before_ ? before_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    void set(const char* value) {
        if (value != nullptr) {
            ::setenv(name_.c_str(), value, 1);
        } else {
            ::unsetenv(name_.c_str());
        }
        ::tzset(); // the C library reads TZ again only when told
    }
    std::string name_;
    std::optional<std::string> before_;
};

class ScopedLocale {
  public:
    ScopedLocale(int category, const char* name) : category_(category) {
        const char* was = std::setlocale(category, nullptr);
        before_ = was != nullptr ? was : "C";
        taken_ = std::setlocale(category, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(category_, before_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    // Whether the machine has the locale asked for.
    bool taken() const { return taken_; }

  private:
    int category_;
    std::string before_;
    bool taken_;
};

} // namespace orvanta
