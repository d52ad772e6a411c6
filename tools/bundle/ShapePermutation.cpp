#include "bundle/ShapePermutation.h"

#include <algorithm>
#include <cmath>

namespace quarn_tools {
namespace {

const std::uint32_t kMostInTable = 4096;
const int kRounds = 8;

void AppendNumber(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

std::string ShapeOf(const std::string& tweak, const ShapePermutation::Digits& radices) {
  std::string shape = tweak + '\0';
  for (std::uint32_t radix : radices) AppendNumber(shape, radix);
  return shape;
}

// The mixed-radix successor, wrapping round.
void Increment(const ShapePermutation::Digits& radices, ShapePermutation::Digits& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (++digits[i] < radices[i]) return;
    digits[i] = 0;
  }
}

// The number of values of the shape, or kMostInTable + 1 for more.
std::uint32_t CountOf(const ShapePermutation::Digits& radices) {
  std::uint64_t count = 1;
  for (std::uint32_t radix : radices) {
    count *= radix;
    if (count > kMostInTable) return kMostInTable + 1;
  }
  return static_cast<std::uint32_t>(count);
}

}  // namespace

const ShapePermutation::Order& ShapePermutation::SmallOrder(const std::string& shape, std::uint32_t count) const {
  const auto found = m_orders.find(shape);
  if (found != m_orders.end()) return found->second;
  std::vector<std::pair<std::string, std::uint32_t>> coded;
  for (std::uint32_t value = 0; value < count; ++value) {
    std::string message = "order" + shape;
    AppendNumber(message, value);
    coded.emplace_back(m_mac.Of(message), value);
  }
  std::sort(coded.begin(), coded.end());
  Order& order = m_orders[shape];
  order.rank.resize(count);
  for (std::uint32_t place = 0; place < count; ++place) {
    order.values.push_back(coded[place].second);
    order.rank[coded[place].second] = place;
  }
  return order;
}

void ShapePermutation::Feistel(const std::string& shape, const Digits& radices, Digits& digits, bool forward) const {
  const std::size_t half = digits.size() / 2;
  for (int step = 0; step < kRounds; ++step) {
    const int round = forward ? step : kRounds - 1 - step;
    // Even rounds change the first half from the second, odd ones the other.
    const bool first = round % 2 == 0;
    const std::size_t from = first ? half : 0, to = first ? digits.size() : half;
    const std::size_t changeFrom = first ? 0 : half, changeTo = first ? half : digits.size();
    std::string message = "round" + shape;
    message += static_cast<char>(round);
    for (std::size_t i = from; i < to; ++i) AppendNumber(message, digits[i]);
    std::string stream;
    for (std::uint32_t block = 0; stream.size() < 4 * (changeTo - changeFrom); ++block) {
      std::string counted = message;
      AppendNumber(counted, block);
      stream += m_mac.Of(counted);
    }
    for (std::size_t i = changeFrom; i < changeTo; ++i) {
      std::uint32_t add = 0;
      for (std::size_t b = 0; b < 4; ++b) add = add << 8 | static_cast<unsigned char>(stream[4 * (i - changeFrom) + b]);
      const std::uint64_t radix = radices[i], shift = add % radix;
      digits[i] =
          static_cast<std::uint32_t>(forward ? (digits[i] + shift) % radix : (digits[i] + radix - shift) % radix);
    }
  }
}

void ShapePermutation::Next(const std::string& tweak, const Digits& radices, Digits& digits) const {
  const std::string shape = ShapeOf(tweak, radices);
  const std::uint32_t count = CountOf(radices);
  if (count <= kMostInTable) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < digits.size(); ++i) value = value * radices[i] + digits[i];
    const Order& order = SmallOrder(shape, count);
    value = order.values[(order.rank[value] + 1) % count];
    for (std::size_t i = digits.size(); i-- > 0;) {
      digits[i] = value % radices[i];
      value /= radices[i];
    }
    return;
  }
  if (digits.size() == 1) {
    // One digit of a large radix: two of its square root, walked back into
    // the radix's range (fewer than 2 steps on average).
    const std::uint32_t root = static_cast<std::uint32_t>(std::ceil(std::sqrt(static_cast<double>(radices[0]))));
    const Digits split = {root, root};
    Digits pair = {digits[0] / root, digits[0] % root};
    do Next(tweak, split, pair);
    while (pair[0] * root + pair[1] >= radices[0]);
    digits[0] = pair[0] * root + pair[1];
    return;
  }
  Feistel(shape, radices, digits, true);
  Increment(radices, digits);
  Feistel(shape, radices, digits, false);
}

}  // namespace quarn_tools
