#pragma once
// A compiled Perl-compatible regular expression (PCRE2): the one door to the library for the
// path check, the address check and the database-name rule.
#include <string_view>

class TRegexPattern {
 public:
  enum Options : unsigned { Caseless = 1u, Utf = 2u };

  // A pattern that does not compile matches nothing.
  explicit TRegexPattern(const char* pattern, unsigned options = 0);
  ~TRegexPattern();
  TRegexPattern(const TRegexPattern&) = delete;
  TRegexPattern& operator=(const TRegexPattern&) = delete;

  // Whether the text holds a match anywhere (the pattern anchors itself where it must).
  bool Matches(std::string_view text) const;

 private:
  void* FCode = nullptr;  // pcre2_code
};
