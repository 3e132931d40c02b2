#include "support/RegexPattern.h"
#include <cstdint>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

TRegexPattern::TRegexPattern(const char* pattern, unsigned options) {
  int err = 0;
  PCRE2_SIZE offset = 0;
  std::uint32_t flags = ((options & Caseless) ? PCRE2_CASELESS : 0u) | ((options & Utf) ? PCRE2_UTF : 0u);
  FCode = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, flags, &err, &offset, nullptr);
}

TRegexPattern::~TRegexPattern() {
  if (FCode) pcre2_code_free(static_cast<pcre2_code*>(FCode));
}

bool TRegexPattern::Matches(std::string_view text) const {
  auto* code = static_cast<pcre2_code*>(FCode);
  if (!code) return false;
  pcre2_match_data* md = pcre2_match_data_create_from_pattern(code, nullptr);
  if (!md) return false;
  int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, md, nullptr);
  pcre2_match_data_free(md);
  return rc >= 0;
}
