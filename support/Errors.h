// Run-time errors raised by the support classes: a number, a source and a
// description. Routines of the main window catch them per step and log the number.
#pragma once
#include <new>
#include <stdexcept>
#include <string>

struct RuntimeError : std::runtime_error {
  long Number;
  std::string Source;
  std::string Description;
  RuntimeError(long number, std::string source, std::string description)
      : std::runtime_error(description),
        Number(number),
        Source(std::move(source)),
        Description(std::move(description)) {}
};

// Common run-time error numbers.
namespace err {
constexpr long InvalidProcedureCall = 5;
constexpr long Overflow = 6;
constexpr long OutOfMemory = 7;
constexpr long SubscriptOutOfRange = 9;
constexpr long TypeMismatch = 13;
constexpr long DeviceUnavailable = 68;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
constexpr long RegistryFailure = 26001;
constexpr long NotKept = -12;                     // written, but the disk does not give it back
constexpr long SetValueFailure = -2147194455;     // 0x800469A9
constexpr long BadAssociationList = -2147194452;  // 0x800469AC
constexpr long AssociationClassMissing = -2147194451;  // 0x800469AD
}  // namespace err

// Runs one step and returns the number of the run-time error it raised (0 = none):
// the callers skip a failing step and go on with the next, logging its number.
template <class F>
long Attempt(F&& step) noexcept {
  try {
    step();
    return 0;
  } catch (const RuntimeError& e) {
    return e.Number;
  } catch (const std::bad_alloc&) {
    return err::OutOfMemory;
  } catch (...) {
    return err::InvalidProcedureCall;
  }
}
