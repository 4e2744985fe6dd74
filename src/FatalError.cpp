#include "FatalError.h"

#include <exception>

#include <OgreException.h>
#include <asio/system_error.hpp>

namespace {
FatalError fatal(const std::string& what) { return {"fatal: " + what, 1}; }
}  // namespace

FatalError describeCurrentException() {
  try {
    throw;
  } catch (const Ogre::Exception& e) {
    return {"OgreException: " + e.getFullDescription(), 1};
  } catch (const asio::system_error& e) {
    return fatal(e.what());
  } catch (const std::exception& e) {
    return fatal(e.what());
  } catch (const char* text) {
    return fatal(text ? text : "(null)");
  } catch (...) {
    return fatal("unknown error");
  }
}
