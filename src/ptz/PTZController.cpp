#include "ptz/PTZController.h"

PTZController::~PTZController() = default;
