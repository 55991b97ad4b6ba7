// Which share of a batch this machine composes: --shard K/N, or the index
// a job array gives (--shard auto).
#ifndef TESSAVAR_CLI_SHARD_H_
#define TESSAVAR_CLI_SHARD_H_

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tessavar::cli {

struct Shard {
  size_t index = 0;  // from 0
  size_t count = 1;
};

// Reads an environment variable; nullopt when it is not set.
using EnvironmentLookup =
    std::function<std::optional<std::string>(const std::string&)>;
std::optional<std::string> ProcessEnvironment(const std::string& name);

// "K/N" with 0 <= K < N, or "auto": SLURM_ARRAY_TASK_ID (less
// SLURM_ARRAY_TASK_MIN) of SLURM_ARRAY_TASK_COUNT, else
// JOB_COMPLETION_INDEX of `shards` (--shards N, which also overrides the
// Slurm count). nullopt with *problem set otherwise.
std::optional<Shard> ParseShard(const std::string& text,
                                const std::string& shards,
                                const EnvironmentLookup& environment,
                                std::string* problem);

}  // namespace tessavar::cli

#endif  // TESSAVAR_CLI_SHARD_H_
