#include "updater/program/job_services.h"

namespace Update::Program {

Work::TJobServices JobServices() {
  return Work::TJobServices::Real();
}

}  // namespace Update::Program
