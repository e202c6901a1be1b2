// The age library against the real `age`: files each one writes, the other
// opens, by passphrase and by X25519 key.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "1_age/AgeFile.h"
#include "AgeTestSupport.h"
#include "FreshFolder.h"

namespace {

constexpr std::size_t kChunk = 64 * 1024;
const std::size_t kSizes[] = {0, 1, kChunk - 1, kChunk, kChunk + 1, 3 * kChunk, 9 * 1024 * 1024};
const char kAscii[] = "correct horse battery";
const char kNonAscii[] = "pässwörd 密码 ✓";

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class AgePeerTest : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(std::system("age --version >/dev/null 2>&1"), 0) << "the age package is missing";
    folder_ = CreateFreshFolder("veilor-age-peer");
  }
  void TearDown() override { RemoveFolder(folder_); }

  std::filesystem::path Path(const std::string& name) { return folder_ / name; }

  // Runs age with its arguments, typing `passphrase` at its prompts.
  int Age(const std::string& arguments, const std::string& passphrase = "") {
    setenv("AGE_TEST_PASSPHRASE", passphrase.c_str(), 1);
    std::string command =
        "python3 " + Quote(AGE_PTY_SCRIPT) + " age " + arguments + " 2>" + Quote(Path("tty"));
    return std::system(command.c_str());
  }

  std::string Ours(bool encrypt, const std::string& in, const std::string& passphrase,
                   const std::string& key = "") {
    MemoryFile source{in};
    MemoryFile out;
    if (encrypt) {
      age::Encryptor encryptor = key.empty() ? age::Encryptor::ForPassphrase(passphrase, 10)
                                             : age::Encryptor::ForRecipients({key});
      encryptor.Run(source.Reader(), out.Writer());
    } else {
      age::Decryptor decryptor(source.Reader());
      if (key.empty()) {
        decryptor.UnlockWithPassphrase(passphrase);
      } else {
        decryptor.Unlock({}, {key});
      }
      decryptor.Run(out.Writer());
    }
    return out.bytes;
  }

  std::filesystem::path folder_;
};

TEST_F(AgePeerTest, OurPassphraseFilesOpenInAge) {
  for (const char* passphrase : {kAscii, kNonAscii}) {
    for (std::size_t size : kSizes) {
      std::string plain = Pattern(size);
      WriteAll(Path("sealed.age"), Ours(true, plain, passphrase));
      std::filesystem::remove(Path("opened"));
      ASSERT_EQ(Age("-d -o " + Quote(Path("opened")) + " " + Quote(Path("sealed.age")), passphrase),
                0)
          << size << " " << passphrase << "\n"
          << ReadAll(Path("tty"));
      EXPECT_TRUE(ReadAll(Path("opened")) == plain) << size << " " << passphrase;
    }
  }
}

TEST_F(AgePeerTest, AgePassphraseFilesOpenHere) {
  // age -p derives at work factor 18 each time: every size with one
  // passphrase, two sizes with the other.
  struct Case {
    const char* passphrase;
    std::size_t size;
  };
  std::vector<Case> cases;
  for (std::size_t size : kSizes) cases.push_back({kAscii, size});
  cases.push_back({kNonAscii, 1});
  cases.push_back({kNonAscii, kChunk + 1});
  for (const Case& c : cases) {
    std::string plain = Pattern(c.size);
    WriteAll(Path("plain"), plain);
    std::filesystem::remove(Path("sealed.age"));
    ASSERT_EQ(Age("-p -o " + Quote(Path("sealed.age")) + " " + Quote(Path("plain")), c.passphrase),
              0)
        << ReadAll(Path("tty"));
    EXPECT_TRUE(Ours(false, ReadAll(Path("sealed.age")), c.passphrase) == plain)
        << c.size << " " << c.passphrase;
  }
}

TEST_F(AgePeerTest, X25519FilesOpenBothWays) {
  ASSERT_EQ(std::system(("age-keygen -o " + Quote(Path("key.txt")) + " 2>/dev/null").c_str()), 0);
  std::string identity;
  std::istringstream lines(ReadAll(Path("key.txt")));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("AGE-SECRET-KEY-1", 0) == 0) identity = line;
  }
  ASSERT_FALSE(identity.empty());
  // Our reading of age-keygen's key gives the recipient it prints.
  ASSERT_EQ(std::system(
                ("age-keygen -y -o " + Quote(Path("recipient.txt")) + " " + Quote(Path("key.txt")))
                    .c_str()),
            0);
  EXPECT_EQ(age::RecipientOf(identity) + "\n", ReadAll(Path("recipient.txt")));
  for (std::size_t size : kSizes) {
    std::string plain = Pattern(size);
    WriteAll(Path("sealed.age"), Ours(true, plain, "", age::RecipientOf(identity)));
    std::filesystem::remove(Path("opened"));
    ASSERT_EQ(Age("-d -i " + Quote(Path("key.txt")) + " -o " + Quote(Path("opened")) + " " +
                  Quote(Path("sealed.age"))),
              0)
        << ReadAll(Path("tty"));
    EXPECT_TRUE(ReadAll(Path("opened")) == plain) << size;

    WriteAll(Path("plain"), plain);
    std::filesystem::remove(Path("theirs.age"));
    ASSERT_EQ(Age("-r " + age::RecipientOf(identity) + " -o " + Quote(Path("theirs.age")) + " " +
                  Quote(Path("plain"))),
              0);
    EXPECT_TRUE(Ours(false, ReadAll(Path("theirs.age")), "", identity) == plain) << size;
  }
}

}  // namespace
