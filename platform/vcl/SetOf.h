#pragma once
// The framework's sets: a set of the values of one enumeration whose ordinals are 0 to 31,
// kept as bits. Written as the framework writes them: Anchors << akLeft, Contains(akTop).

#include <cstdint>
#include <initializer_list>

template <class E>
class SetOf {
public:
  constexpr SetOf() = default;
  constexpr SetOf(std::initializer_list<E> members) {
    for (E m : members) bits_ |= Bit(m);
  }
  static constexpr SetOf FromBits(std::uint32_t bits) {
    SetOf s;
    s.bits_ = bits;
    return s;
  }

  constexpr std::uint32_t Bits() const { return bits_; }
  constexpr bool Contains(E member) const { return (bits_ & Bit(member)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }

  constexpr SetOf& operator<<(E member) {
    bits_ |= Bit(member);
    return *this;
  }
  constexpr SetOf& operator>>(E member) {
    bits_ &= ~Bit(member);
    return *this;
  }
  friend constexpr SetOf operator+(SetOf a, SetOf b) { return FromBits(a.bits_ | b.bits_); }
  friend constexpr SetOf operator-(SetOf a, SetOf b) { return FromBits(a.bits_ & ~b.bits_); }
  friend constexpr SetOf operator*(SetOf a, SetOf b) { return FromBits(a.bits_ & b.bits_); }
  friend constexpr bool operator==(SetOf a, SetOf b) { return a.bits_ == b.bits_; }
  friend constexpr bool operator!=(SetOf a, SetOf b) { return a.bits_ != b.bits_; }

private:
  static constexpr std::uint32_t Bit(E member) { return std::uint32_t{1} << static_cast<unsigned>(member); }
  std::uint32_t bits_ = 0;
};
