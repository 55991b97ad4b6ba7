#include "cli/shard.h"

#include <charconv>
#include <cstdlib>

namespace tessavar::cli {
namespace {

// The most shards a batch splits into: as many as it may have pieces.
constexpr size_t kMaxShards = 1'000'000;

std::optional<size_t> Number(const std::string& text) {
  size_t value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string CountRange() {
  return "a whole number from 1 to " + std::to_string(kMaxShards);
}

std::optional<Shard> Checked(size_t index, size_t count,
                             const std::string& said, std::string* problem) {
  if (count == 0 || count > kMaxShards) {
    *problem = "the number of shards must be " + CountRange() + ", not " +
               std::to_string(count) + said;
    return std::nullopt;
  }
  if (index >= count) {
    *problem = "the shard must be from 0 to " + std::to_string(count - 1) +
               " of " + std::to_string(count) + ", not " +
               std::to_string(index) + said;
    return std::nullopt;
  }
  return Shard{index, count};
}

// A variable's number, or nullopt with *problem set.
std::optional<size_t> Variable(const EnvironmentLookup& environment,
                               const std::string& name, std::string* problem) {
  const std::optional<std::string> text = environment(name);
  if (!text) {
    *problem = name + " is not set";
    return std::nullopt;
  }
  const std::optional<size_t> value = Number(*text);
  if (!value) *problem = name + " is '" + *text + "', not a whole number";
  return value;
}

std::optional<Shard> FromEnvironment(const std::string& shards,
                                     const EnvironmentLookup& environment,
                                     std::string* problem) {
  std::optional<size_t> count;
  if (!shards.empty()) {
    count = Number(shards);
    if (!count) {
      *problem = "--shards takes " + CountRange() + ", not '" + shards + "'";
      return std::nullopt;
    }
  }
  if (environment("SLURM_ARRAY_TASK_ID")) {
    auto id = Variable(environment, "SLURM_ARRAY_TASK_ID", problem);
    if (!id) return std::nullopt;
    size_t first = 0;
    if (environment("SLURM_ARRAY_TASK_MIN")) {
      auto min = Variable(environment, "SLURM_ARRAY_TASK_MIN", problem);
      if (!min) return std::nullopt;
      first = *min;
    }
    if (!count)
      count = Variable(environment, "SLURM_ARRAY_TASK_COUNT", problem);
    if (!count) return std::nullopt;
    if (*id < first) {
      *problem = "SLURM_ARRAY_TASK_ID is below SLURM_ARRAY_TASK_MIN";
      return std::nullopt;
    }
    // With a step (--array=0-9:2) the task numbers are no dense index, and
    // some pieces would belong to no task.
    if (const std::optional<std::string> step =
            environment("SLURM_ARRAY_TASK_STEP");
        step && Number(*step) != std::optional<size_t>(1)) {
      *problem =
          "SLURM_ARRAY_TASK_STEP is " + *step +
          ": --shard auto takes a job array without a step (--array=0-N)";
      return std::nullopt;
    }
    return Checked(*id - first, *count, " (from Slurm)", problem);
  }
  if (environment("JOB_COMPLETION_INDEX")) {
    auto index = Variable(environment, "JOB_COMPLETION_INDEX", problem);
    if (!index) return std::nullopt;
    if (!count) {
      *problem =
          "--shard auto with JOB_COMPLETION_INDEX needs --shards N "
          "(the Job's completions)";
      return std::nullopt;
    }
    return Checked(*index, *count, " (from JOB_COMPLETION_INDEX)", problem);
  }
  *problem =
      "--shard auto needs SLURM_ARRAY_TASK_ID or JOB_COMPLETION_INDEX "
      "in the environment";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::optional<Shard> ParseShard(const std::string& text,
                                const std::string& shards,
                                const EnvironmentLookup& environment,
                                std::string* problem) {
  if (text == "auto") return FromEnvironment(shards, environment, problem);
  const size_t slash = text.find('/');
  const std::optional<size_t> index =
      slash == std::string::npos ? std::nullopt : Number(text.substr(0, slash));
  const std::optional<size_t> count =
      index ? Number(text.substr(slash + 1)) : std::nullopt;
  if (!count) {
    *problem = "--shard takes K/N (shard K from 0 of N shards) or auto, not '" +
               text + "'";
    return std::nullopt;
  }
  if (!shards.empty()) {
    *problem = "--shards goes with --shard auto only";
    return std::nullopt;
  }
  return Checked(*index, *count, "", problem);
}

}  // namespace tessavar::cli
