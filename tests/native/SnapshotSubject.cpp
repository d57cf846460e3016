// The snapshot round trip on the fake registry and file system.
#include "tests/contract/SnapshotContract.h"
#include "tests/fakes/FakeServices.h"

SnapshotSubject MakeSnapshotSubject() {
  auto fake = std::make_shared<FakePlatform>();
  return {fake->platform, fake, {}};
}
