// CSingleton<T>: the one instance of T in the process. The static operations
// are defined and instantiated inside the library that owns T, so every
// module of the process shares the one instance pointer.
#ifndef QUARN_CONFIG_SINGLETON_H
#define QUARN_CONFIG_SINGLETON_H

#include "config/QuarnConfigExport.h"

template <class T>
class QUARNCONFIG_API CSingleton {
 public:
  virtual ~CSingleton() {}

  // The instance, or null before NewInstance and after RemoveInstance.
  // Never creates.
  static T* GetInstance();
  // Creates the instance when there is none, then returns it. An exception
  // from the construction reaches the caller and leaves no instance. Call it
  // before other threads use GetInstance.
  static T* NewInstance();
  // Destroys the instance, if any. Call it only when no thread uses it.
  static void RemoveInstance();

 protected:
  CSingleton() {}

 private:
  static T* m_pInstance;
};

#endif
