// mqtt_delay: how long a record takes from the station's hand-over to a subscriber, with
// many stations on one local mosquitto. Each station is a publisher of the publish
// library on a thread of its own handing over a day of records, either as fast as it
// can (a fast replay) or paced (PACE_MS between records); one subscriber notes when each
// record arrives. Prints messages per second and the delay's median, 99th percentile
// and maximum.
//
//   mqtt_delay [STATIONS=50] [RECORDS=1440] [PACE_MS=0]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "day_record.h"
#include "local_broker.h"
#include "mqtt_publisher.h"
#include "state_message.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

}  // namespace

int main(int argc, char** argv) {
  const int stations = argc > 1 ? std::atoi(argv[1]) : 50;
  const int records = argc > 2 ? std::atoi(argv[2]) : 1440;
  const int paceMs = argc > 3 ? std::atoi(argv[3]) : 0;

  radmon::testing::LocalBroker broker;
  if (!broker.start()) {
    std::fprintf(stderr, "mosquitto did not start\n");
    return 1;
  }
  radmon::testing::Subscriber subscriber(broker.port(), "bench/+/state");
  std::this_thread::sleep_for(300ms);

  std::mutex mutex;
  std::map<std::string, Clock::time_point> handedOver;  // topic + time
  const auto begin = Clock::now();
  std::vector<std::thread> threads;
  for (int s = 0; s < stations; ++s) {
    threads.emplace_back([&, s] {
      radmon::PublisherOptions o;
      o.address.host = "127.0.0.1";
      o.address.port = broker.port();
      o.address.prefix = "bench/st" + std::to_string(s);
      o.stationName = "st" + std::to_string(s);
      radmon::MqttPublisher publisher(o);
      publisher.start({});
      const std::string topic = o.address.prefix + "/state";
      for (int i = 0; i < records; ++i) {
        const auto when = radmon::LocalDateTime{2026, 3, 1, 0, 0, 0}.plusSeconds(60LL * (i + 1));
        std::string line = radmon::formatRecordLine({when, 0.1f, 20 + s, 20LL * i, 60LL * (i + 1)});
        line.resize(line.size() - 2);
        {
          std::lock_guard lock(mutex);
          handedOver[topic + radmon::stateFromLine(line, false, false)->isoTime()] = Clock::now();
        }
        publisher.publishRecord({when.yyyymmdd(), line}, false, false);
        if (paceMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(paceMs));
      }
      publisher.finish(60s);
    });
  }
  for (auto& t : threads) t.join();
  const size_t expected = static_cast<size_t>(stations) * static_cast<size_t>(records);
  subscriber.waitFor([&](const auto& ms) { return ms.size() >= expected; }, 60s);
  const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();

  // Arrival times are taken after the fact from the subscriber's order; each message's
  // delay is measured against its own hand-over with the arrival noted by the
  // subscriber's thread.
  const auto messages = subscriber.messages();
  std::vector<double> delays;
  {
    std::lock_guard lock(mutex);
    for (const auto& m : messages) {
      const auto state = radmon::parseStateJson(m.payload);
      if (!state) continue;
      const auto it = handedOver.find(m.topic + state->isoTime());
      if (it == handedOver.end()) continue;
      delays.push_back(std::chrono::duration<double, std::milli>(m.arrived - it->second).count());
    }
  }
  std::sort(delays.begin(), delays.end());
  auto at = [&](double q) {
    return delays.empty()
               ? 0.0
               : delays[std::min(delays.size() - 1, static_cast<size_t>(q * delays.size()))];
  };
  std::printf("stations %d, records each %d, pace %d ms\n", stations, records, paceMs);
  std::printf("received %zu of %zu state messages in %.2f s: %.0f messages/s\n", messages.size(),
              expected, seconds, messages.size() / seconds);
  std::printf("hand-over to subscriber: median %.1f ms, 99th percentile %.1f ms, max %.1f ms\n",
              at(0.5), at(0.99), delays.empty() ? 0.0 : delays.back());
  return 0;
}
