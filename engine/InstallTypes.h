#pragma once
// The installation type and a set of them: which edition is installed and which package types
// an installation takes. The package records, the plan of a run and the wizard share them.
#include <initializer_list>

// The installation type, one byte. 0 and 1 are the smaller edition, 2 to 4 the larger.
enum TTypeInstall : unsigned char {
  tiKest = 0,
  tiKestUpdate = 1,
  tiTarpel = 2,
  tiTarpelUpdate = 3,
  tiVelmorDemo = 4,
};

constexpr TTypeInstall TTypeInstallLow = tiKest;
constexpr TTypeInstall TTypeInstallHigh = tiVelmorDemo;

// A set of installation types: one bit per value.
class TTypeInstallSet {
 public:
  constexpr TTypeInstallSet() = default;
  constexpr TTypeInstallSet(std::initializer_list<TTypeInstall> values) {
    for (TTypeInstall t : values) Include(t);
  }
  // Every type from `from` to `to`, both included; empty when from > to.
  static constexpr TTypeInstallSet Range(TTypeInstall from, TTypeInstall to) {
    TTypeInstallSet s;
    for (int t = from; t <= to; ++t) s.Include(static_cast<TTypeInstall>(t));
    return s;
  }

  constexpr bool Contains(TTypeInstall t) const { return t <= TTypeInstallHigh && (FBits >> t) & 1u; }
  constexpr void Include(TTypeInstall t) {
    if (t <= TTypeInstallHigh) FBits = static_cast<unsigned char>(FBits | (1u << t));
  }
  constexpr void Exclude(TTypeInstall t) {
    if (t <= TTypeInstallHigh) FBits = static_cast<unsigned char>(FBits & ~(1u << t));
  }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr unsigned char Bits() const { return FBits; }

  constexpr TTypeInstallSet operator+(TTypeInstallSet o) const { return FromBits(FBits | o.FBits); }
  constexpr TTypeInstallSet operator*(TTypeInstallSet o) const { return FromBits(FBits & o.FBits); }
  constexpr TTypeInstallSet operator-(TTypeInstallSet o) const { return FromBits(FBits & ~o.FBits); }
  constexpr bool operator==(const TTypeInstallSet&) const = default;

 private:
  static constexpr TTypeInstallSet FromBits(unsigned bits) {
    TTypeInstallSet s;
    s.FBits = static_cast<unsigned char>(bits & 0x1Fu);
    return s;
  }
  unsigned char FBits = 0;
};
