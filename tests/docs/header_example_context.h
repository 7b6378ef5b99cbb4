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

#include "velmira/velmira.h"

using namespace velmira;

class Job : public QueueLinks<>, public ListLinks<>, public TreeLinks<> {
 public:
  explicit Job(std::string name) : name_(std::move(name)) {}
  Variant Key(std::int32_t) override { return name_; }

 private:
  std::string name_;
};

namespace {
const Ref<Stack> stack = New<Stack>();
const Ref<Queue> queue = New<Queue>();
const Ref<PQueue> pqueue = New<PQueue>();
const Ref<List> list = New<List>();
const Ref<Tree> tree = New<SplayTree>();
}  // namespace
