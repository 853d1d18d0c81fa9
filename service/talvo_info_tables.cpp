#include "service/talvo_info_tables.h"

#include <algorithm>
#include <array>

#include "link/vandircnc.h"

namespace talvo {

void TTalvoInfo_MacroVariable::SetLocalCount(int count) {
  if (count >= 0 && count <= kLocals) localCount_ = count;
}

void TTalvoInfo_MacroVariable::SetGlobalCount(int count) {
  if (count >= 0 && count <= kGlobals) globalCount_ = count;
}

void TTalvoInfo_MacroVariable::Update(bool force) {
  TItemReads locals(force, EForcedRead::Skip);
  locals.Item(&localsChanged_, [&](int* c) {
    Link().GetMacroLocalVariable(1, localCount_, locals_.data(), c);
  });
  const bool localsChanged = localsChanged_;
  globalsChanged_ = false;
  if (localsChanged) DoChange();

  // The handler of a global slice redraws globals only.
  localsChanged_ = false;
  globalsChanged_ = true;
  const int events = UpdateChunks(
      force, EForcedRead::Skip, 0, globalCount_, kChunk, [&](int start, int count, int* c) {
        // The link reports a change once, to whoever reads first: while this object was
        // inactive the Trends window may have taken the change of a variable this object
        // still holds the old value of, so the values read are compared with the held ones.
        std::array<double, kChunk> held;
        std::copy_n(&globals_[start], count, held.begin());
        Link().GetMacroGlobalVariable(start + 1, count, &globals_[start], c);
        if (*c == vandir::kUnchanged &&
            !std::equal(held.begin(), held.begin() + count, &globals_[start]))
          *c = vandir::kChanged;
      });
  // After the update the flags tell what this update found.
  localsChanged_ = localsChanged;
  globalsChanged_ = events > 0;
}

void TTalvoInfo_Parameter::Update(bool force) {
  // An owner's range reaching past the table is cut to it.
  const int first = std::clamp(FirstIndex, 0, kParameters);
  const int count = std::clamp(Count, 0, kParameters - first);
  UpdateChunks(force, EForcedRead::Read, first, count, kChunk, [&](int start, int n, int* c) {
    Link().GetParameter(start + 1, n, &values_[start], c);
  });
}

void TTalvoInfo_SystemVariable::Update(bool force) {
  TItemReads reads(force, EForcedRead::Read);
  reads.Item(nullptr,
             [&](int* c) { Link().GetSystemVariable(0, kVariables, values_.data(), c); });
  if (reads.Raise()) DoChange();
}

}  // namespace talvo
