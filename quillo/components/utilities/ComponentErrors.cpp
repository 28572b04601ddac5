#include "quillo/components/utilities/ComponentErrors.h"

EOutOfResources::~EOutOfResources() = default;
