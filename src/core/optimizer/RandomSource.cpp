#include "optimizer/RandomSource.h"

#include <cstdlib>
#include <ctime>

namespace vantor {

namespace {

class CRandomSource : public RandomSource
{
public:
    CRandomSource()
    {
        // Start-up seeds as well; a tool that never went through it still
        // must not place everything the same way in every run.
        std::srand(static_cast<unsigned>(std::time(nullptr)));
    }
    int next() override { return std::rand(); }
};

} // namespace

int RandomSource::row()
{
    // (rand() + 15) mod 15, without the overflow that adding 15 to RAND_MAX
    // would be on this platform; a test's negative number gets a row too.
    return (next() % 15 + 15) % 15;
}

RandomSource &RandomSource::standard()
{
    static CRandomSource source;
    return source;
}

} // namespace vantor
