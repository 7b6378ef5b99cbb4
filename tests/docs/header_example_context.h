// What every header's usage block may take for granted when it is built: the whole library, the
// standard headers examples use, `using namespace velmira`, one container of each kind
// (`stack`, `queue`, `pqueue`, `list`, `tree`) and the README's `Job` element. Anything else an
// example uses it declares itself.
#pragma once

#include <cassert>
#include <cstdint>
#include <iostream>
#include <map>
#include <ranges>
#include <string>
#include <vector>

#include "job.h"
#include "velmira/velmira.h"

using namespace velmira;

namespace {
const Ref<Stack> stack = New<Stack>();
const Ref<Queue> queue = New<Queue>();
const Ref<PQueue> pqueue = New<PQueue>();
const Ref<List> list = New<List>();
const Ref<Tree> tree = New<SplayTree>();
}  // namespace
