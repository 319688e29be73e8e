#pragma once

#include "updater/work.h"

namespace Update::Program {

// The services the program's job runs with. Update itself links the real ones; the tests'
// build of the program links a variant of its own (tests/fakes/shortened_job_services.cpp).
Work::TJobServices JobServices();

}  // namespace Update::Program
