#include "sound_server.h"

#include <pulse/pulseaudio.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace radmon {
namespace {

struct Query {
  SoundServerInputs result;
  std::map<uint32_t, std::string> sourceNames;  // every source, monitors too
  std::vector<uint32_t> ownSources;             // where this process's streams are
  int pending = 0;                              // replies still awaited
  bool failed = false;
};

void onServerInfo(pa_context*, const pa_server_info* info, void* data) {
  auto* q = static_cast<Query*>(data);
  if (info && info->default_source_name) q->result.defaultInput = info->default_source_name;
  if (info && info->default_sink_name) q->result.defaultOutput = info->default_sink_name;
  --q->pending;
}

void onSourceInfo(pa_context*, const pa_source_info* info, int eol, void* data) {
  auto* q = static_cast<Query*>(data);
  if (eol != 0) {
    if (eol < 0) q->failed = true;
    --q->pending;
    return;
  }
  if (info) q->sourceNames[info->index] = info->name ? info->name : "";
  // Monitors of outputs are inputs too (a tube fed in through a null output), though Qt
  // does not list them; their names say what they are.
  if (info)
    q->result.inputs.push_back(
        {info->name ? info->name : "", info->description ? info->description : ""});
}

void onSourceOutputInfo(pa_context*, const pa_source_output_info* info, int eol, void* data) {
  auto* q = static_cast<Query*>(data);
  if (eol != 0) {
    if (eol < 0) q->failed = true;
    --q->pending;
    return;
  }
  const char* pid =
      info ? pa_proplist_gets(info->proplist, PA_PROP_APPLICATION_PROCESS_ID) : nullptr;
  if (pid && std::strtol(pid, nullptr, 10) == static_cast<long>(::getpid()))
    q->ownSources.push_back(info->source);
}

}  // namespace

bool SoundServerInputs::recordsFrom(const std::string& name) const {
  for (const auto& own : ownRecordings)
    if (own == name) return true;
  return false;
}

const SoundServerInput* SoundServerInputs::find(const std::string& nameOrDescription) const {
  for (const auto& input : inputs)
    if (input.name == nameOrDescription) return &input;
  for (const auto& input : inputs)
    if (input.description == nameOrDescription) return &input;
  return nullptr;
}

std::optional<SoundServerInputs> askSoundServer(int timeoutMs) {
  pa_mainloop* loop = pa_mainloop_new();
  if (!loop) return std::nullopt;
  pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "ratemon");
  Query query;
  bool asked = false;
  bool done = false;
  if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done) {
      const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      if (pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 ||
          pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
        break;
      const pa_context_state_t state = pa_context_get_state(context);
      if (!PA_CONTEXT_IS_GOOD(state)) break;
      if (state == PA_CONTEXT_READY && !asked) {
        asked = true;
        query.pending = 3;
        pa_operation* info = pa_context_get_server_info(context, onServerInfo, &query);
        pa_operation* list = pa_context_get_source_info_list(context, onSourceInfo, &query);
        pa_operation* streams =
            pa_context_get_source_output_info_list(context, onSourceOutputInfo, &query);
        if (info)
          pa_operation_unref(info);
        else
          --query.pending;
        for (pa_operation* op : {list, streams}) {
          if (op)
            pa_operation_unref(op);
          else {
            --query.pending;
            query.failed = true;
          }
        }
      }
      done = asked && query.pending <= 0;
    }
  }
  if (context) {
    pa_context_disconnect(context);
    pa_context_unref(context);
  }
  pa_mainloop_free(loop);
  if (!done || query.failed) return std::nullopt;
  for (uint32_t index : query.ownSources)
    if (auto it = query.sourceNames.find(index); it != query.sourceNames.end())
      query.result.ownRecordings.push_back(it->second);
  return query.result;
}

}  // namespace radmon
