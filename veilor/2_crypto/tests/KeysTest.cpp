#include <gtest/gtest.h>

#include "1_base/Exceptions.h"
#include "2_crypto/HexText.h"
#include "2_crypto/Keys.h"

namespace {

// The working values are a compatibility promise: every encrypted file and
// every stored setting depends on them.
struct PinnedEntry {
  int id;
  const char* hex;
};

constexpr PinnedEntry kWorkingValues[] = {
    {CKeys::ProtectKey, "86B7C18066A57E7526753EDE93269215"},
    {CKeys::ProtectIv, "311E9EF88F7A976B1F4A3CFA2156D853"},
    {CKeys::AesFileIv, "50FB574722157FF3EBEAB9286FF29124"},
    {CKeys::Des3FileIv, "41163109879C0D4B"},
    {CKeys::FileMarker, "102DA8513E94B642"},
    {CKeys::TrailerCounter, "D0FB574722157FF3EBEAB9286FF29124"},
};

TEST(KeysTest, WorkingValuesArePinned) {
  for (const PinnedEntry& entry : kWorkingValues) {
    EXPECT_EQ(ToHex(CKeys::Instance().Get(entry.id)), entry.hex) << "entry " << entry.id;
  }
}

// The trailer's counter block must lie out of reach of any file's data
// counter, which starts at the file counter block and advances once per 16
// bytes: at least 2^64 blocks ahead of it, modulo 2^128.
TEST(KeysTest, TrailerCounterIsOutOfReachOfFileData) {
  const ByteString data = CKeys::Instance().Get(CKeys::AesFileIv);
  const ByteString trailer = CKeys::Instance().Get(CKeys::TrailerCounter);
  ASSERT_EQ(data.size(), 16u);
  ASSERT_EQ(trailer.size(), 16u);

  // distance = trailer - data (mod 2^128), computed byte by byte from the end.
  unsigned char distance[16];
  int borrow = 0;
  for (int i = 15; i >= 0; --i) {
    int d = static_cast<unsigned char>(trailer[i]) - static_cast<unsigned char>(data[i]) - borrow;
    borrow = d < 0 ? 1 : 0;
    distance[i] = static_cast<unsigned char>(d + (borrow ? 256 : 0));
  }
  bool upperHalfNonZero = false;
  for (int i = 0; i < 8; ++i) upperHalfNonZero = upperHalfNonZero || distance[i] != 0;
  EXPECT_TRUE(upperHalfNonZero);
}

TEST(KeysTest, UnknownEntryIsAnError) {
  EXPECT_THROW(CKeys::Instance().Get(4), CKeysException);
  EXPECT_THROW(CKeys::Instance().Get(10), CKeysException);
}

}  // namespace
