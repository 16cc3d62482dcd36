// A random exercise on the work screen: a new system with a whole-number solution.
#include "random_exercise.h"

#include "../matrix/random_system.h"
#include "../matrix/store.h"
#include "loader.h"
#include "matrix_view.h"

#include <cstdint>
#include <random>
#include <string>

namespace
{

constexpr int default_order = 3;               // the order when no system is loaded
constexpr std::uint64_t largest_seed = 999999; // seeds short enough to type on a command line

// A new seed for each system: from a generator seeded once per run by the system's randomness.
std::uint64_t next_seed()
{
    static std::mt19937_64 seeds{std::random_device{}()};
    return 1 + seeds() % largest_seed;
}

} // namespace

// Loads a new random system of the loaded order and names how to print it again.
void load_random_system()
{
    const int order = matrix_order > 0 ? matrix_order : default_order;
    const std::uint64_t seed = next_seed();
    load_matrix_from(random_system(order, seed));
    show_caption("Nahodna sustava: gauss-jordan --random " + std::to_string(order) + " --seed " +
                 std::to_string(seed));
}
