# Deployment data fixed at build time: the default server lists. The values
# here are placeholders under reserved names (RFC 2606 domains, RFC 5737
# addresses); a deployment overrides them on the cmake command line.

set(QUARN_DEFAULT_SERVICE_SERVERS "svc1.example.com;svc2.example.com;svc3.example.net;192.0.2.10"
  CACHE STRING "Default service servers: three host names, then one IPv4 address")
set(QUARN_DEFAULT_UPDATE_SERVERS "upd1.example.com;update.example.com;upd3.example.net;upd4.example.net;192.0.2.20"
  CACHE STRING "Default update servers: four host names, then one IPv4 address; the second is the update server of the URLs")

function(quarn_check_server_list name list expected_count)
  list(LENGTH list count)
  if(NOT count EQUAL expected_count)
    message(FATAL_ERROR "${name} must have ${expected_count} entries, has ${count}: ${list}")
  endif()
  foreach(item IN LISTS list)
    if(item STREQUAL "" OR item MATCHES "[|; \t]")
      message(FATAL_ERROR "${name}: bad entry '${item}'")
    endif()
  endforeach()
  list(GET list -1 last)
  if(NOT last MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
    message(FATAL_ERROR "${name}: the last entry must be an IPv4 address, is '${last}'")
  endif()
endfunction()
quarn_check_server_list(QUARN_DEFAULT_SERVICE_SERVERS "${QUARN_DEFAULT_SERVICE_SERVERS}" 4)
quarn_check_server_list(QUARN_DEFAULT_UPDATE_SERVERS "${QUARN_DEFAULT_UPDATE_SERVERS}" 5)

# One constant: the update server host is the second default update server.
list(GET QUARN_DEFAULT_UPDATE_SERVERS 1 QUARN_UPDATE_SERVER_HOST)
string(REPLACE ";" "|" QUARN_DEFAULT_SERVICE_SERVERS_TEXT "${QUARN_DEFAULT_SERVICE_SERVERS}")
string(REPLACE ";" "|" QUARN_DEFAULT_UPDATE_SERVERS_TEXT "${QUARN_DEFAULT_UPDATE_SERVERS}")
