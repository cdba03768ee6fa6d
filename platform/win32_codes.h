// The Win32 names and values of the codes and constants that the program branches on, for
// builds without <windows.h>. On Windows the wrapper header has already brought in the real
// definitions (it refuses to come second), and the guards below leave them alone.
#pragma once

#define VANTIK_WIN32_CODES_INCLUDED 1

// Result codes.
#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8L
#endif
#ifndef ERROR_SHARING_VIOLATION
#define ERROR_SHARING_VIOLATION 32L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112L
#endif
#ifndef ERROR_NEGATIVE_SEEK
#define ERROR_NEGATIVE_SEEK 131L
#endif
#ifndef ERROR_INSUFFICIENT_BUFFER
#define ERROR_INSUFFICIENT_BUFFER 122L
#endif
#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127L
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234L
#endif
#ifndef ERROR_NO_MORE_ITEMS
#define ERROR_NO_MORE_ITEMS 259L
#endif
#ifndef ERROR_PARTIAL_COPY
#define ERROR_PARTIAL_COPY 299L
#endif

// Codes of files and folders that the export tells apart.
#ifndef ERROR_INVALID_DATA
#define ERROR_INVALID_DATA 13L
#endif
#ifndef ERROR_INVALID_DRIVE
#define ERROR_INVALID_DRIVE 15L
#endif
#ifndef ERROR_LOCK_VIOLATION
#define ERROR_LOCK_VIOLATION 33L
#endif
#ifndef ERROR_HANDLE_DISK_FULL
#define ERROR_HANDLE_DISK_FULL 39L
#endif
#ifndef ERROR_BAD_NETPATH
#define ERROR_BAD_NETPATH 53L
#endif
#ifndef ERROR_NETNAME_DELETED
#define ERROR_NETNAME_DELETED 64L
#endif
#ifndef ERROR_BAD_NET_NAME
#define ERROR_BAD_NET_NAME 67L
#endif
#ifndef ERROR_FILE_EXISTS
#define ERROR_FILE_EXISTS 80L
#endif
#ifndef ERROR_DIR_NOT_EMPTY
#define ERROR_DIR_NOT_EMPTY 145L
#endif
#ifndef ERROR_ALREADY_EXISTS
#define ERROR_ALREADY_EXISTS 183L
#endif
#ifndef ERROR_INVALID_NAME
#define ERROR_INVALID_NAME 123L
#endif
// No account of that SID in the account database.
#ifndef ERROR_NONE_MAPPED
#define ERROR_NONE_MAPPED 1332L
#endif
// No such window: what asking for the owner of a missing shell window gives.
#ifndef ERROR_INVALID_WINDOW_HANDLE
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#endif

// Registry access rights.
#ifndef KEY_QUERY_VALUE
#define KEY_QUERY_VALUE (0x0001)
#endif
#ifndef KEY_SET_VALUE
#define KEY_SET_VALUE (0x0002)
#endif
#ifndef KEY_CREATE_SUB_KEY
#define KEY_CREATE_SUB_KEY (0x0004)
#endif
#ifndef KEY_ENUMERATE_SUB_KEYS
#define KEY_ENUMERATE_SUB_KEYS (0x0008)
#endif
#ifndef KEY_READ
#define KEY_READ (0x20019)
#endif
// The registry views of 64-bit Windows, which the Windows 2000 headers do not declare.
#ifndef KEY_WOW64_64KEY
#define KEY_WOW64_64KEY (0x0100)
#endif
#ifndef KEY_WOW64_32KEY
#define KEY_WOW64_32KEY (0x0200)
#endif

// Registry value types.
#ifndef REG_NONE
#define REG_NONE (0)
#endif
#ifndef REG_SZ
#define REG_SZ (1)
#endif
#ifndef REG_EXPAND_SZ
#define REG_EXPAND_SZ (2)
#endif
#ifndef REG_BINARY
#define REG_BINARY (3)
#endif
#ifndef REG_DWORD
#define REG_DWORD (4)
#endif
#ifndef REG_MULTI_SZ
#define REG_MULTI_SZ (7)
#endif

// Message box answers.
#ifndef IDOK
#define IDOK 1
#endif

// Network, services, devices and sockets: codes and constants of the report's collectors.
#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif
#ifndef ERROR_NO_DATA
#define ERROR_NO_DATA 232L
#endif
#ifndef ERROR_SERVICE_DOES_NOT_EXIST
#define ERROR_SERVICE_DOES_NOT_EXIST 1060L
#endif
#ifndef WSAEFAULT
#define WSAEFAULT 10014
#endif
#ifndef WSASYSNOTREADY
#define WSASYSNOTREADY 10091
#endif
#ifndef WSANOTINITIALISED
#define WSANOTINITIALISED 10093
#endif
#ifndef SC_MANAGER_ALL_ACCESS
#define SC_MANAGER_ALL_ACCESS 0xF003F
#endif
#ifndef SERVICE_ALL_ACCESS
#define SERVICE_ALL_ACCESS 0xF01FF
#endif
#ifndef SERVICE_STOPPED
#define SERVICE_STOPPED 0x00000001
#endif
#ifndef SERVICE_RUNNING
#define SERVICE_RUNNING 0x00000004
#endif
#ifndef SERVICE_START_PENDING
#define SERVICE_START_PENDING 0x00000002
#endif
#ifndef SERVICE_AUTO_START
#define SERVICE_AUTO_START 0x00000002
#endif
#ifndef SERVICE_DEMAND_START
#define SERVICE_DEMAND_START 0x00000003
#endif
#ifndef SERVICE_DISABLED
#define SERVICE_DISABLED 0x00000004
#endif
#ifndef SERVICE_QUERY_CONFIG
#define SERVICE_QUERY_CONFIG 0x0001
#endif
#ifndef SERVICE_CHANGE_CONFIG
#define SERVICE_CHANGE_CONFIG 0x0002
#endif
#ifndef SERVICE_QUERY_STATUS
#define SERVICE_QUERY_STATUS 0x0004
#endif
#ifndef SERVICE_START
#define SERVICE_START 0x0010
#endif
#ifndef SC_MANAGER_CONNECT
#define SC_MANAGER_CONNECT 0x0001
#endif
#ifndef ERROR_SERVICE_REQUEST_TIMEOUT
#define ERROR_SERVICE_REQUEST_TIMEOUT 1053L
#endif
#ifndef ERROR_SERVICE_ALREADY_RUNNING
#define ERROR_SERVICE_ALREADY_RUNNING 1056L
#endif
#ifndef ERROR_SERVICE_DISABLED
#define ERROR_SERVICE_DISABLED 1058L
#endif
#ifndef CR_ACCESS_DENIED
#define CR_ACCESS_DENIED 0x00000033
#endif
#ifndef DIGCF_PRESENT
#define DIGCF_PRESENT 0x00000002
#endif
#ifndef DIGCF_ALLCLASSES
#define DIGCF_ALLCLASSES 0x00000004
#endif
#ifndef CR_SUCCESS
#define CR_SUCCESS 0x00000000
#endif
#ifndef CR_FAILURE
#define CR_FAILURE 0x00000013
#endif
#ifndef DN_HAS_PROBLEM
#define DN_HAS_PROBLEM 0x00000400
#endif
#ifndef CM_PROB_NOT_CONFIGURED
#define CM_PROB_NOT_CONFIGURED 0x00000001
#endif
#ifndef CM_PROB_DISABLED
#define CM_PROB_DISABLED 0x00000016
#endif

// Drive kinds (GetDriveTypeA).
#ifndef DRIVE_UNKNOWN
#define DRIVE_UNKNOWN 0
#endif
#ifndef DRIVE_NO_ROOT_DIR
#define DRIVE_NO_ROOT_DIR 1
#endif
#ifndef DRIVE_REMOVABLE
#define DRIVE_REMOVABLE 2
#endif
#ifndef DRIVE_FIXED
#define DRIVE_FIXED 3
#endif
#ifndef DRIVE_REMOTE
#define DRIVE_REMOTE 4
#endif
#ifndef DRIVE_CDROM
#define DRIVE_CDROM 5
#endif
#ifndef DRIVE_RAMDISK
#define DRIVE_RAMDISK 6
#endif

// Process and token access rights, and token group attributes.
#ifndef PROCESS_VM_READ
#define PROCESS_VM_READ (0x0010)
#endif
#ifndef PROCESS_QUERY_INFORMATION
#define PROCESS_QUERY_INFORMATION (0x0400)
#endif
// Vista and later: enough to name a process that refuses the two rights above.
#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION (0x1000)
#endif
#ifndef TOKEN_READ
#define TOKEN_READ (0x20008)
#endif
#ifndef TOKEN_DUPLICATE
#define TOKEN_DUPLICATE (0x0002)
#endif
#ifndef TOKEN_IMPERSONATE
#define TOKEN_IMPERSONATE (0x0004)
#endif
#ifndef TOKEN_QUERY
#define TOKEN_QUERY (0x0008)
#endif
#ifndef SE_GROUP_USE_FOR_DENY_ONLY
#define SE_GROUP_USE_FOR_DENY_ONLY (0x00000010L)
#endif
#ifndef SE_GROUP_ENABLED
#define SE_GROUP_ENABLED (0x00000004L)
#endif
