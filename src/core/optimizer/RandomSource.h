#pragma once

namespace vantor {

// Where the places of the hidden elements in copies and doorway documents
// come from. Behind an interface so that a test can fix them; the program
// uses the C library's generator, seeded with the time.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    // A number as rand() gives it, 0 and up.
    virtual int next() = 0;

    // One of the fifteen rows of a placement table: (rand() + 15) mod 15.
    int row();

    // rand(), seeded with the time once per program.
    static RandomSource &standard();
};

} // namespace vantor
