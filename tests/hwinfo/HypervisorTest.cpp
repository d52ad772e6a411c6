// The hypervisor signature over substituted CPUID leaves.
#include <gtest/gtest.h>

#include <map>

#include "hwinfo/Hypervisor.h"
#include "support/TestSupport.h"

using quarn_test::SignatureRegisters;

namespace {
class Leaves {
 public:
  explicit Leaves(std::map<std::uint32_t, quarn::sys::CpuidRegisters> leaves) : m_leaves(std::move(leaves)) {
    m_platform.cpuid = [this](std::uint32_t leaf) {
      asked.push_back(leaf);
      auto it = m_leaves.find(leaf);
      return it == m_leaves.end() ? quarn::sys::CpuidRegisters() : it->second;
    };
  }
  std::string Signature() {
    char text[13];
    GetHypervisorSignature(text, sizeof text);
    return text;
  }
  std::vector<std::uint32_t> asked;

 private:
  std::map<std::uint32_t, quarn::sys::CpuidRegisters> m_leaves;
  quarn_test::FakePlatform m_platform;
  quarn_test::ScopedFakePlatform m_use{m_platform};
};
}  // namespace

TEST(Hypervisor, XenOrMicrosoftAnywhereInTheSignatureCaseSensitive) {
  const std::pair<const char*, int> cases[] = {{"Microsoft Hv", 1}, {"XenVMMXenVMM", 1}, {"xenvmmxenvmm", 0},
                                               {"KVMKVMKVM", 0},    {"VMwareVMware", 0}, {"", 0}};
  for (const auto& c : cases) {
    Leaves leaves({{0x40000000u, SignatureRegisters(c.first, 0)}});
    EXPECT_EQ(IsXenOrMicrosoftHypervisor(), c.second) << c.first;
  }
}

TEST(Hypervisor, LaterLeavesAreReadWhenTheFirstReportsARelativeMaximum) {
  Leaves leaves({{0x40000000u, SignatureRegisters("Microsoft Hv", 0x200)},
                 {0x40000100u, SignatureRegisters("XenVMMXenVMM", 0)},
                 {0x40000200u, SignatureRegisters("KVMKVMKVM", 0)}});
  EXPECT_EQ(leaves.Signature(), "KVMKVMKVM");  // the last leaf read
  EXPECT_EQ(leaves.asked, (std::vector<std::uint32_t>{0x40000000u, 0x40000100u, 0x40000200u}));
}

TEST(Hypervisor, AnAbsoluteOrSmallMaximumKeepsTheFirstLeaf) {
  Leaves absolute({{0x40000000u, SignatureRegisters("VMwareVMware", 0x40000010)},
                   {0x40000100u, SignatureRegisters("XenVMMXenVMM", 0)}});
  EXPECT_EQ(absolute.Signature(), "VMwareVMware");
  EXPECT_EQ(absolute.asked.size(), 1u);
  Leaves small({{0x40000000u, SignatureRegisters("KVMKVMKVM", 3)}});
  EXPECT_EQ(small.Signature(), "KVMKVMKVM");
  EXPECT_EQ(small.asked.size(), 1u);
}

TEST(Hypervisor, ASmallerTextGetsAsMuchAsFitsAndStaysTerminated) {
  Leaves leaves({{0x40000000u, SignatureRegisters("Microsoft Hv", 0)}});
  char text[5] = {'x', 'x', 'x', 'x', 'x'};
  GetHypervisorSignature(text, sizeof text);
  EXPECT_STREQ(text, "Micr");
}
