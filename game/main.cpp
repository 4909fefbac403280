// paddleball: keep the ball in play with the paddle; cursor up and down move it.
#include <memory>

#include "game/facility_operations.h"
#include "game/game.h"
#include "game/program.h"

int main(int, char** argv) {
  game::start_program(argv[0]);
  game::FacilityOperations operations;
  auto paddleball = std::make_unique<game::Game>(operations);
  paddleball->run();
}
