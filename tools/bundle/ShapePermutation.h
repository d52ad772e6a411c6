// A keyed permutation of the values of one shape: vectors of digits, each
// below its own radix (a letter of 26, a digit of 10, an octet of 256...).
// Next() moves a value one step along a keyed cycle through every value of
// its shape, so it is never the value itself and two values never meet.
// The permutation P behind the cycle (Next(x) = P^-1(P(x) + 1)) is, for a
// shape of at most 4096 values, the order of the values by their
// HMAC-SHA-256; for a larger one, a Feistel network of eight rounds over the
// two halves of the digits, each round adding HMAC-SHA-256 of the other
// half digit by digit modulo the radix (a single digit of a large radix is
// split in two and cycle-walked back into its range). No cryptography is
// made here: HMAC-SHA-256 is the platform's.
#ifndef QUARN_TOOLS_BUNDLE_SHAPEPERMUTATION_H
#define QUARN_TOOLS_BUNDLE_SHAPEPERMUTATION_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bundle/Crypto.h"

namespace quarn_tools {

class ShapePermutation {
 public:
  using Digits = std::vector<std::uint32_t>;
  explicit ShapePermutation(const HmacSha256& mac) : m_mac(mac) {}
  // `digits` (each below its radix; radices of 2 and more) moved one step
  // along the cycle of their shape under `tweak`.
  void Next(const std::string& tweak, const Digits& radices, Digits& digits) const;

 private:
  struct Order {
    std::vector<std::uint32_t> values, rank;  // the values by their code, and each value's place
  };
  const Order& SmallOrder(const std::string& shape, std::uint32_t count) const;
  void Feistel(const std::string& shape, const Digits& radices, Digits& digits, bool forward) const;
  const HmacSha256& m_mac;
  mutable std::map<std::string, Order> m_orders;
};

}  // namespace quarn_tools

#endif
