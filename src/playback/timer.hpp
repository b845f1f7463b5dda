#pragma once
// The shutdown timer.
namespace pavuto {

struct Program;

// Arms the timer with the minutes text: now + the minutes (1 ... 360).
void ArmTimer(Program& p);

}  // namespace pavuto
