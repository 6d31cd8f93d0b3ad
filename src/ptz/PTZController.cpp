#include "PTZController.h"

PTZController::~PTZController() = default;
