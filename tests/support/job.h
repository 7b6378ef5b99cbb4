// `Job`: the element the README and the guide show, one object in a Queue, a List and a Tree at
// once through the building blocks, keyed by its name. Tests and usage examples share it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "velmira/core/variant.h"
#include "velmira/elements/links.h"

class Job : public velmira::QueueLinks<>, public velmira::ListLinks<>, public velmira::TreeLinks<> {
 public:
  explicit Job(std::string name) : name_(std::move(name)) {}
  velmira::Variant Key(std::int32_t) override { return name_; }

 private:
  std::string name_;
};
