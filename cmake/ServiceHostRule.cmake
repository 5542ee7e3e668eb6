# The rule a remote host setting must follow: "[http://|https://]name[:port]",
# the scheme in lowercase, the name dot-separated labels of letters, digits and
# inner hyphens, the port 1 to 65535. The program reads the same settings with
# ReadServiceHost (net/ServiceHost.h) at compile time; this copy of the rule
# runs at configure time so that a bad setting is named before anything builds.
# The test service_host_rule holds both to one table of forms.

# Sets out_var to why text breaks the rule, one of empty, scheme, user, path,
# name, port; to "" when text follows it.
function(qx_service_host_refusal text out_var)
  set(refusal "")
  set(rest "${text}")
  string(FIND "${rest}" "://" separator)
  if("${text}" STREQUAL "")
    set(refusal empty)
  elseif(separator GREATER_EQUAL 0)
    string(SUBSTRING "${rest}" 0 ${separator} scheme)
    math(EXPR after "${separator} + 3")
    string(SUBSTRING "${rest}" ${after} -1 rest)
    if(NOT scheme STREQUAL "http" AND NOT scheme STREQUAL "https")
      set(refusal scheme)
    endif()
  endif()
  if(refusal STREQUAL "")
    string(FIND "${rest}" ":" colon)
    if(colon GREATER_EQUAL 0)
      string(SUBSTRING "${rest}" 0 ${colon} name)
      math(EXPR after "${colon} + 1")
      string(SUBSTRING "${rest}" ${after} -1 port)
    else()
      set(name "${rest}")
    endif()
    set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
    string(LENGTH "${port}" port_length)
    if("${rest}" MATCHES "@")
      set(refusal user)
    elseif("${rest}" MATCHES "[/?#]")
      set(refusal path)
    elseif(NOT "${name}" MATCHES "^${label}(\\.${label})*$")
      set(refusal name)
    elseif(colon GREATER_EQUAL 0 AND (NOT "${port}" MATCHES "^[0-9]+$" OR port_length GREATER 5))
      set(refusal port)
    elseif(colon GREATER_EQUAL 0 AND (port LESS 1 OR port GREATER 65535))
      set(refusal port)
    endif()
  endif()
  set(${out_var} "${refusal}" PARENT_SCOPE)
endfunction()

# What each refusal tells the person configuring the build.
function(qx_service_host_problem refusal out_var)
  set(empty "it is empty")
  set(scheme "the scheme must be http:// or https://, in lowercase")
  set(user "a user name (@) has no place in it")
  set(path "a path, query or fragment (/ ? #) has no place in it")
  set(name "the name must be labels of letters, digits and inner hyphens, separated by single dots")
  set(port "the port must be a number from 1 to 65535")
  set(${out_var} "${${refusal}}" PARENT_SCOPE)
endfunction()

# Stops the configure step when any of the named cache variables breaks the rule.
function(qx_check_service_hosts)
  foreach(variable ${ARGN})
    qx_service_host_refusal("${${variable}}" refusal)
    if(NOT refusal STREQUAL "")
      qx_service_host_problem(${refusal} problem)
      message(FATAL_ERROR "${variable} is \"${${variable}}\": ${problem}.\n"
        "Write a host as name[:port] (plain http), http://name[:port] or https://name[:port].")
    endif()
  endforeach()
endfunction()
