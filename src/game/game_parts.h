#pragma once
#include <QString>
#include <functional>

// The call points from the game window into the parts that other modules build (components).
// Each starts as a harmless stand-in; the module that owns a part sets its entries when the
// game window is made.
namespace storyloom {

struct GameParts {
  // Components.
  std::function<void()> ResetComponents = [] {};
};

}  // namespace storyloom
