#pragma once

// libgit2, loaded when history is first used rather than with the program: its libraries
// (ssh, TLS, Kerberos) would cost every start of the window, which mostly never touches a
// library. Each function of libgit2 this program calls has a stand-in of the same name in
// namespace mr640, found before the global one by the calls made there; it looks the real
// function up on its first call. A call to a function missing from the list fails to link.

#include <git2.h>
#include <git2/sys/stream.h>

#include <atomic>

namespace mr640::git {

// The address of libgit2's function name, loading libgit2 on first use; throws a
// HistoryError when the library or the function cannot be found.
void* Symbol(const char* name);

template <typename Signature> class Lazy;

template <typename R, typename... A> class Lazy<R(A...)>
{
public:
    explicit constexpr Lazy(const char* name) : name_(name) {}
    Lazy(const Lazy&) = delete;
    Lazy& operator=(const Lazy&) = delete;

    R operator()(A... args) const { return Function()(args...); }

protected:
    using Pointer = R (*)(A...);
    Pointer Function() const
    {
        Pointer function = function_.load(std::memory_order_acquire);
        if (!function) {
            function = reinterpret_cast<Pointer>(Symbol(name_));
            function_.store(function, std::memory_order_release);
        }
        return function;
    }

private:
    const char* name_;
    mutable std::atomic<Pointer> function_{nullptr};
};

// libgit2's options: a fixed first argument, then what the option takes.
template <typename R, typename... A> class Lazy<R(A..., ...)>
{
public:
    explicit constexpr Lazy(const char* name) : name_(name) {}
    Lazy(const Lazy&) = delete;
    Lazy& operator=(const Lazy&) = delete;

    template <typename... V> R operator()(A... args, V... more) const
    {
        return reinterpret_cast<R (*)(A..., ...)>(Symbol(name_))(args..., more...);
    }

private:
    const char* name_;
};

} // namespace mr640::git

#define MR640_GIT_FUNCTIONS(X) \
    X(git_blob_create_from_buffer) X(git_blob_filter) X(git_blob_free) X(git_blob_is_binary) \
    X(git_blob_lookup) X(git_blob_rawcontent) X(git_blob_rawsize) X(git_buf_dispose) \
    X(git_commit_author) X(git_commit_body) X(git_commit_create) X(git_commit_free) \
    X(git_commit_id) X(git_commit_lookup) X(git_commit_parent_id) X(git_commit_parentcount) \
    X(git_commit_summary) X(git_commit_tree) X(git_commit_tree_id) X(git_config_free) \
    X(git_config_get_string_buf) X(git_config_open_default) X(git_config_snapshot) \
    X(git_credential_ssh_key_from_agent) X(git_credential_ssh_key_new) \
    X(git_credential_username_new) X(git_credential_userpass_plaintext_new) X(git_diff_free) \
    X(git_diff_get_delta) X(git_diff_num_deltas) X(git_diff_tree_to_tree) X(git_error_last) \
    X(git_error_set_str) X(git_graph_ahead_behind) X(git_graph_descendant_of) X(git_index_add) \
    X(git_index_free) X(git_index_get_bypath) X(git_index_read) X(git_index_remove_bypath) \
    X(git_index_write) X(git_libgit2_init) X(git_libgit2_opts) X(git_merge_base) \
    X(git_note_commit_create) X(git_note_create) X(git_note_foreach) X(git_note_free) \
    X(git_note_message) X(git_note_read) X(git_object_free) X(git_object_id) X(git_object_lookup) \
    X(git_object_peel) X(git_object_type) X(git_odb_exists) X(git_odb_free) X(git_oid_equal) \
    X(git_oid_fromstr) X(git_oid_tostr) X(git_reference_create) X(git_reference_create_matching) \
    X(git_reference_delete) X(git_reference_free) X(git_reference_lookup) \
    X(git_reference_name_to_id) X(git_reference_symbolic_target) X(git_reference_target) \
    X(git_reference_type) X(git_remote_connect) X(git_remote_create) X(git_remote_fetch) \
    X(git_remote_free) X(git_remote_lookup) X(git_remote_ls) X(git_remote_set_url) \
    X(git_remote_update_tips) X(git_remote_upload) X(git_remote_url) \
    X(git_repository_config_snapshot) X(git_repository_free) X(git_repository_hashfile) \
    X(git_repository_index) X(git_repository_init) X(git_repository_init_ext) \
    X(git_repository_is_bare) X(git_repository_odb) X(git_repository_open_ext) \
    X(git_repository_path) X(git_repository_state) X(git_repository_workdir) \
    X(git_revparse_single) X(git_revwalk_free) X(git_revwalk_new) X(git_revwalk_next) \
    X(git_revwalk_push) X(git_revwalk_push_head) X(git_signature_free) X(git_signature_now) \
    X(git_stream_register) X(git_tag_create) X(git_tag_foreach) X(git_tag_message) \
    X(git_tag_tagger) X(git_tree_create_updated) X(git_tree_entry_bypath) \
    X(git_tree_entry_filemode) X(git_tree_entry_free) X(git_tree_entry_id) X(git_tree_entry_type) \
    X(git_tree_free) X(git_tree_lookup)

namespace mr640 {
#define MR640_GIT_LAZY(name) inline const git::Lazy<decltype(::name)> name{#name};
MR640_GIT_FUNCTIONS(MR640_GIT_LAZY)
#undef MR640_GIT_LAZY
} // namespace mr640
