// A random exercise on the work screen: a new system of the loaded shape with a whole solution.
#include "random_exercise.h"
#include "../matrix/translation.h"

#include "../matrix/random_system.h"
#include "../matrix/store.h"
#include "../matrix/work_file.h"
#include "loader.h"
#include "matrix_view.h"

#include <cstdint>
#include <random>
#include <string>

namespace
{

constexpr int default_order = 3;               // the order when no system is loaded
constexpr std::uint64_t largest_seed = 999999; // seeds short enough to type on a command line

std::mt19937_64 seeds;      // where each system's seed comes from
bool seeds_started = false; // seeds has been given a starting value

// The system N made last, and the matrix_serial it was loaded with.
struct MadeSystem {
    unsigned matrix = 0;
    std::uint64_t seed = 0;
    StoreSnapshot system;
};
MadeSystem made;

// A new seed for each system: from a generator seeded once per run by the system's randomness,
// unless seed_random_exercises chose its start.
std::uint64_t next_seed()
{
    if (!seeds_started)
        seed_random_exercises(std::random_device{}());
    return 1 + seeds() % largest_seed;
}

} // namespace

// Loads a new random system of the loaded shape and names how to print it again.
void load_random_system()
{
    const MatrixShape shape = matrix_shape.rows > 0
                                  ? system_shape(matrix_shape.rows, matrix_shape.unknowns)
                                  : square_shape(default_order);
    const std::uint64_t seed = next_seed();
    load_matrix_from(random_system(shape.rows, shape.unknowns, seed));
    made = MadeSystem{matrix_serial, seed, save_store()};
    // TRANSLATORS: the caption's head before the command that prints the same system
    show_caption(tr("Nahodna sustava: ") + std::string("gauss-jordan ") +
                 random_options_text(shape.rows, shape.unknowns, seed));
}

// Makes the seeds of the coming random systems follow from `seed`.
void seed_random_exercises(std::uint64_t seed)
{
    seeds.seed(seed);
    seeds_started = true;
}

// The "# --random" line of a work starting from the system N made last, while it is loaded.
std::string random_origin_of(const StoreSnapshot &start)
{
    if (made.matrix != matrix_serial || made.system.shape.rows == 0 ||
        !same_values(start, made.system))
        return "";
    return random_origin_line(made.system.shape.rows, made.system.shape.unknowns, made.seed);
}
