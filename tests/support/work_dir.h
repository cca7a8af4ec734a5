#pragma once
#include <QString>
#include <functional>

#include "texts/setup_record.h"

namespace kvn::test {

// Points COM1 of the work directory under base at a port (the simulator's pseudo-terminal).
void LinkCom1(const QString& base, const QString& portPath);

// A work directory under base whose settings reach COM1 over USB, with the default plot
// appearance; adjust may change any field before the file is written.
void PrepareWorkDirectory(const QString& base, const QString& com1Path,
                          const std::function<void(LocSetupRec&)>& adjust = {});

}  // namespace kvn::test
