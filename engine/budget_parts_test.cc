#include "engine/budget_parts.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/io_error.h"

namespace velkaro {
namespace {

// A budget in letters: each costs 1, "P" (a picture, say) 50, and a letter
// whose code is odd `odd_cost` more. Counts how often it is asked.
class LetterBudget : public PartBudget {
 public:
  LetterBudget(std::u16string_view text, uint64_t room, uint64_t odd_cost = 0)
      : text_(text), room_(room), odd_cost_(odd_cost) {}

  uint64_t Room() const override { return room_; }
  uint64_t PackageBytes(const PartCut& part, uint64_t limit) override {
    EXPECT_EQ(part.last,
              part.end == text_.size() || text_.find_first_not_of(u" \n", part.end) == text_.npos);
    EXPECT_GE(limit, room_);
    ++asked;
    return Cost(part.start, part.end);
  }
  void TooBig(const PartCut& part) override {
    throw Error("part " + std::to_string(part.number) + " from " + std::to_string(part.start));
  }

  uint64_t Cost(size_t start, size_t end) {
    if (sums_.empty()) {
      sums_.push_back(0);
      for (char16_t c : text_)
        sums_.push_back(sums_.back() + (c == u'P' ? 50 : 1 + (c % 2) * odd_cost_));
    }
    return sums_[end] - sums_[start];
  }

  int asked = 0;

 private:
  std::u16string_view text_;
  uint64_t room_;
  uint64_t odd_cost_;
  std::vector<uint64_t> sums_;  // of the costs before each letter
};

TEST(BudgetPartsTest, PartsAreAsLongAsTheRoomAllows) {
  const struct {
    std::u16string text;
    int32_t part_size;
    uint64_t room;
    std::vector<size_t> ends;
    std::string too_big;
  } cases[] = {
      // Each part ends at the highest cut whose part fits; the rest in one if it fits.
      {u"One. Two! Three? Four. ", 100, 10, {9, 16, 23}, ""},
      {u"One. Two! Three? Four. ", 100, 1000, {23}, ""},
      {u"One. Two! Three? Four. ", 100, 16, {16, 23}, ""},
      // The part size bounds every part, the last one too.
      {u"a.b.cdefghijklmnopqrs.", 6, 1000, {4, 10, 16, 22}, ""},
      // Six blanks and line ends left make no part, but no other letter is left out.
      {u"Ab. cd.\n \n \n", 100, 7, {7}, ""},
      {u"Ab. cd. P ef.", 100, 60, {7, 13}, ""},
      // A picture that does not fit however its part is cut.
      {u"Ab. P cd.", 100, 40, {}, "part 3 from 4"},
      {u"Ab. cd.", 100, 0, {}, "part 1 from 0"},
      {u"", 100, 0, {}, ""},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    LetterBudget budget(c.text, c.room);
    try {
      const PartPlan plan = PlanPartsWithin(c.text, c.part_size, budget);
      EXPECT_EQ(plan.ends, c.ends) << "case " << i;
      EXPECT_EQ(plan.count, static_cast<int>(plan.ends.size()));
      EXPECT_EQ(c.too_big, "") << "case " << i;
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), c.too_big) << "case " << i;
    }
  }
}

// Sentences and lines of random words, now and then a word too long to cut.
std::u16string RandomText(unsigned seed, size_t letters) {
  std::mt19937 random(seed);
  std::u16string text;
  while (text.size() < letters) {
    const size_t word = 1 + random() % (random() % 50 == 0 ? 300 : 9);
    for (size_t i = 0; i < word; ++i) text += static_cast<char16_t>(u'a' + random() % 26);
    const unsigned mark = random() % 12;
    text += mark == 0 ? u'.' : mark == 1 ? u'\n' : mark == 2 ? u'!' : u' ';
  }
  return text;
}

// The parts the search finds are those that halving the windows finds,
// while it asks the budget a few times per part only.
TEST(BudgetPartsTest, GuessingFindsWhatHalvingFinds) {
  const struct {
    unsigned seed;
    int32_t part_size;
    uint64_t room;
    uint64_t odd_cost;
  } cases[] = {{1, 90000, 3000, 0}, {2, 90000, 3000, 3},  {3, 2000, 5000, 1},
               {4, 700, 650, 0},    {5, 90000, 40000, 2}, {6, 90000, 101, 0}};
  for (const auto& c : cases) {
    const std::u16string text = RandomText(c.seed, 200000);
    LetterBudget budget(text, c.room, c.odd_cost);
    const PartPlan plan = PlanPartsWithin(text, c.part_size, budget);

    std::vector<size_t> ends;
    for (size_t start = 0;;) {
      const size_t most = std::min<size_t>(c.part_size, text.size() - start);
      const auto end_of = [&](size_t window) {
        return FindPartEnd(text, start, static_cast<int32_t>(window), false);
      };
      size_t end = text.size();
      if (start + most < text.size() || budget.Cost(start, end) > c.room) {
        size_t fits = 1, too_long = most + 1;
        while (too_long - fits > 1) {
          const size_t window = (fits + too_long) / 2;
          (budget.Cost(start, end_of(window)) <= c.room ? fits : too_long) = window;
        }
        end = end_of(fits);
      }
      ends.push_back(end);
      if (text.size() - end <= 6 && text.find_first_not_of(u" \n", end) == text.npos) break;
      start = end;
    }
    EXPECT_EQ(plan.ends, ends) << "seed " << c.seed;
    EXPECT_LT(budget.asked, 6 * static_cast<int>(ends.size())) << "seed " << c.seed;
  }
}

}  // namespace
}  // namespace velkaro
