// Performer texts and their inverse.
#include "lists/performer.hpp"

#include <gtest/gtest.h>

namespace pavuto {
namespace {

std::string Performer(const std::string& name) { return RTrim(PerformerText(PadRight(name, 30), 30, ".mp3")); }

TEST(PerformerTest, PerformerComesFirstAndOneLeadingTheIsDropped) {
    EXPECT_EQ(PerformerText(PadRight("Song - Band.mp3", 30), 30, ".mp3"), PadRight("Band - Song", 30));
    EXPECT_EQ(Performer("Song - The Band.mp3"), "Band - Song");
    EXPECT_EQ(Performer("Song - The The Band.mp3"), "The Band - Song");
    EXPECT_EQ(Performer("x - the band.MP3"), "band - x");
    EXPECT_EQ(Performer("The Band - x.mp3"), "x - The Band");
    EXPECT_EQ(Performer("Song.mp3"), "[ ] - Song.mp3");
    EXPECT_EQ(PerformerText(PadRight("Song.mp3", 10), 10, ".mp3"), "[ ] - Song");
    // An extension before the separator does not end the performer.
    EXPECT_EQ(Performer("a.mp3 - b.mp3"), "b - a.mp3");
    EXPECT_EQ(PerformerText(" - .mp3", 1, ".mp3"), "");  // nothing but blanks gives no record
}

TEST(PerformerTest, UnswappedNamesUndoTheSwap) {
    auto names = UnswappedNames("Band - Song", ".mp3");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "Song - Band.mp3");
    EXPECT_EQ(names[1], "Song - The Band.mp3");
    EXPECT_TRUE(UnswappedNames("Song", ".mp3").empty());
    // What the builder wrote for a file comes back as its name.
    std::string shown = RTrim(PerformerText(PadRight("Lied - Chor.mp3", 30), 30, ".mp3"));
    EXPECT_EQ(UnswappedNames(shown, ".mp3")[0], "Lied - Chor.mp3");
}

}  // namespace
}  // namespace pavuto
