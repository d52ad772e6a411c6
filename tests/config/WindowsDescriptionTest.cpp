// The description rules, fed plain values.
#include <gtest/gtest.h>

#include <cstring>

#include "config/WindowsDescription.h"

using quarn::sys::WindowsVersionInfo;

namespace {

const unsigned char kWorkstation = 1, kServer = 3;
const unsigned short kIntel = 0, kIa64 = 6, kAmd64 = 9;

WindowsVersionInfo Nt(unsigned long major, unsigned long minor, unsigned long build, unsigned char type,
                      unsigned short architecture, const char* servicePack = "") {
  WindowsVersionInfo info;
  info.platformId = 2;
  info.major = major;
  info.minor = minor;
  info.build = build;
  info.productType = type;
  info.processorArchitecture = architecture;
  std::strncpy(info.servicePack, servicePack, sizeof info.servicePack);
  return info;
}

std::string Describe(const WindowsVersionInfo& info) {
  std::string text;
  EXPECT_TRUE(quarn::AppendWindowsDescription(info, text));
  return text;
}

WindowsVersionInfo With(WindowsVersionInfo info, unsigned short suite, unsigned long product = 0, int r2 = 0) {
  info.suiteMask = suite;
  info.productCode = product;
  info.serverR2 = r2;
  return info;
}

}  // namespace

TEST(WindowsDescription, WorkedAssemblies) {
  EXPECT_EQ(Describe(With(Nt(6, 1, 7601, kWorkstation, kAmd64, "Service Pack 1"), 0, 1)),
            "Microsoft Windows 7 Ultimate Edition Service Pack 1 (build 7601), 64-bit");
  EXPECT_EQ(Describe(With(Nt(5, 2, 3790, kServer, kIntel, "Service Pack 2"), 0x0002, 0, 1)),
            "Microsoft Windows Server 2003 R2, Enterprise Edition Service Pack 2 (build 3790)");
  EXPECT_EQ(Describe(With(Nt(6, 3, 9600, kServer, kAmd64), 0, 7)), "Microsoft Standard Edition (build 9600), 64-bit");
  EXPECT_EQ(Describe(Nt(10, 0, 10240, kWorkstation, kIntel)), "Microsoft  (build 10240), 32-bit");
}

TEST(WindowsDescription, Version6NamesByMinorAndProductType) {
  EXPECT_EQ(Describe(Nt(6, 0, 1, kWorkstation, kIa64)), "Microsoft Windows Vista  (build 1)");  // no word size
  EXPECT_EQ(Describe(Nt(6, 0, 1, kServer, kAmd64)), "Microsoft Windows Server 2008  (build 1), 64-bit");
  EXPECT_EQ(Describe(Nt(6, 1, 1, kServer, kAmd64)), "Microsoft Windows Server 2008 R2  (build 1), 64-bit");
  EXPECT_EQ(Describe(With(Nt(6, 2, 9200, kWorkstation, kAmd64), 0, 0x30)), "Microsoft Windows 8  (build 9200), 64-bit");
  EXPECT_EQ(Describe(With(Nt(6, 2, 9200, 2, kAmd64), 0, 8)),
            "Microsoft Windows Server 2012  Datacenter Edition (build 9200), 64-bit");
  EXPECT_EQ(Describe(With(Nt(6, 4, 1, kWorkstation, kIntel), 0, 4)),
            "Microsoft Enterprise Edition (build 1), 32-bit");  // no name, edition still
}

TEST(WindowsDescription, Version6EditionsByProductCode) {
  const std::pair<unsigned long, const char*> editions[] = {
      {1, "Ultimate Edition"},
      {2, "Home Basic Edition"},
      {3, "Home Premium Edition"},
      {4, "Enterprise Edition"},
      {5, ""},
      {6, "Business Edition"},
      {7, "Standard Edition"},
      {8, "Datacenter Edition"},
      {9, "Small Business Server"},
      {10, "Enterprise Edition"},
      {11, "Starter Edition"},
      {12, "Datacenter Edition (core installation)"},
      {13, "Standard Edition (core installation)"},
      {14, "Enterprise Edition (core installation)"},
      {15, "Enterprise Edition for Itanium-based Systems"},
      {16, ""},
      {17, "Web Server Edition"},
      {18, "Cluster Server Edition"},
      {19, ""},
      {24, ""},
      {25, "Small Business Server Premium Edition"},
      {26, ""},
      {0, ""},
  };
  for (const auto& edition : editions)
    EXPECT_EQ(Describe(With(Nt(6, 0, 6002, kWorkstation, kIntel), 0, edition.first)),
              std::string("Microsoft Windows Vista ") + edition.second + " (build 6002), 32-bit")
        << "product code " << edition.first;
}

TEST(WindowsDescription, Version52NameAndServerEditions) {
  // Name: R2 first, then storage server, then the x64 workstation.
  EXPECT_EQ(Describe(With(Nt(5, 2, 3790, kServer, kIntel), 0x2000, 0, 1)),
            "Microsoft Windows Server 2003 R2, Standard Edition (build 3790)");
  EXPECT_EQ(Describe(With(Nt(5, 2, 3790, kServer, kIntel), 0x2000)),
            "Microsoft Windows Storage Server 2003Standard Edition (build 3790)");
  EXPECT_EQ(Describe(Nt(5, 2, 3790, kWorkstation, kAmd64)),
            "Microsoft Windows XP Professional x64 Edition (build 3790)");
  EXPECT_EQ(Describe(Nt(5, 2, 3790, kWorkstation, kIntel)), "Microsoft Windows Server 2003,  (build 3790)");

  struct Case {
    unsigned short architecture, suite;
    const char* edition;
  };
  const Case cases[] = {
      {kIa64, 0x0082, "Datacenter Edition for Itanium-based Systems"},
      {kIa64, 0x0002, "Enterprise Edition for Itanium-based Systems"},
      {kIa64, 0x0400, ""},
      {kAmd64, 0x0082, "Datacenter x64 Edition"},
      {kAmd64, 0x0002, "Enterprise x64 Edition"},
      {kAmd64, 0x0000, "Standard x64 Edition"},
      {kIntel, 0x4082, "Compute Cluster Edition"},
      {kIntel, 0x0082, "Datacenter Edition"},
      {kIntel, 0x0402, "Enterprise Edition"},
      {kIntel, 0x0400, "Web Edition"},
      {kIntel, 0x0000, "Standard Edition"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Describe(With(Nt(5, 2, 3790, kServer, c.architecture), c.suite)),
              std::string("Microsoft Windows Server 2003, ") + c.edition + " (build 3790)")
        << "architecture " << c.architecture << " suite " << c.suite;
}

TEST(WindowsDescription, VersionsFiveOneAndFiveZero) {
  EXPECT_EQ(Describe(With(Nt(5, 1, 2600, kWorkstation, kIntel, "Service Pack 3"), 0x0200)),
            "Microsoft Windows XP Home Edition Service Pack 3 (build 2600)");
  EXPECT_EQ(Describe(With(Nt(5, 1, 2600, kWorkstation, kAmd64), 0x0100)),
            "Microsoft Windows XP Professional (build 2600)");
  EXPECT_EQ(Describe(With(Nt(5, 0, 2195, kWorkstation, kIntel), 0x0082)),
            "Microsoft Windows 2000 Professional (build 2195)");
  EXPECT_EQ(Describe(With(Nt(5, 0, 2195, kServer, kIntel), 0x0082)),
            "Microsoft Windows 2000 Datacenter Server (build 2195)");
  EXPECT_EQ(Describe(With(Nt(5, 0, 2195, kServer, kIntel), 0x0002)),
            "Microsoft Windows 2000 Advanced Server (build 2195)");
  EXPECT_EQ(Describe(Nt(5, 0, 2195, kServer, kIntel)), "Microsoft Windows 2000 Server (build 2195)");
  EXPECT_EQ(Describe(Nt(5, 3, 1, kServer, kIntel)), "Microsoft  (build 1)");
}

TEST(WindowsDescription, OlderOrOtherSystemsAreNotDescribed) {
  std::string text = "kept";
  EXPECT_FALSE(quarn::AppendWindowsDescription(Nt(4, 0, 1381, kWorkstation, kIntel), text));
  WindowsVersionInfo windows9x = Nt(5, 0, 1, kWorkstation, kIntel);
  windows9x.platformId = 1;
  EXPECT_FALSE(quarn::AppendWindowsDescription(windows9x, text));
  EXPECT_FALSE(quarn::AppendWindowsDescription(WindowsVersionInfo(), text));
  EXPECT_EQ(text, "kept");
}

TEST(WindowsDescription, AppendsAndReadsAnUnterminatedServicePackTo128) {
  std::string text = "Host: ";
  EXPECT_TRUE(quarn::AppendWindowsDescription(Nt(6, 1, 7601, kWorkstation, kAmd64), text));
  EXPECT_EQ(text, "Host: Microsoft Windows 7  (build 7601), 64-bit");

  WindowsVersionInfo full = Nt(6, 1, 7601, kWorkstation, kAmd64);
  std::memset(full.servicePack, 'S', sizeof full.servicePack);  // no terminator
  EXPECT_EQ(Describe(full), "Microsoft Windows 7  " + std::string(128, 'S') + " (build 7601), 64-bit");

  WindowsVersionInfo negative = Nt(6, 1, 0xFFFFFFFFul, kWorkstation, kAmd64);
  EXPECT_EQ(Describe(negative), "Microsoft Windows 7  (build -1), 64-bit");  // the build as a signed number
}
